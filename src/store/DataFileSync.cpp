#include "store/DataFileSync.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include "common/Notices.h"
#include "common/Session.h"
#include "lang/Messages.h"
#include "store/ConflictCopyMerge.h"
#include "store/ConflictCopyName.h"
#include "store/DataKey.h"

namespace keyrack {

namespace {

// Long enough for a sync engine's burst of writes to end, short enough to feel immediate.
constexpr int kSettleMs = 500;
constexpr int kMessageKeptBoth = 76;
constexpr int kMessageConflictCopy = 78;
constexpr int kMessageNotADataFile = 79;
constexpr int kMessageOtherFile = 82;

QString AsQString(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string AsPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

}  // namespace

DataFileSync::DataFileSync(Session& session, RecordStore& store, FileIo& files,
                           platform::RandomSource& random, Notices& notices, QObject* parent)
    : QObject(parent),
      session_(session),
      store_(store),
      files_(files),
      random_(random),
      notices_(notices) {
    setObjectName(QStringLiteral("DataFileSync"));
    TimerSync = new QTimer(this);
    TimerSync->setObjectName(QStringLiteral("TimerSync"));
    TimerSync->setSingleShot(true);
    TimerSync->setInterval(kSettleMs);
    connect(TimerSync, &QTimer::timeout, this, &DataFileSync::TimerSync_Timer);
}

DataFileSync::WriteResult DataFileSync::Write(const FieldValues& fields, int record,
                                              PendingWrite::Mode mode) {
    return Write({PendingWrite{record, fields, mode}});
}

DataFileSync::WriteResult DataFileSync::Write(const std::vector<PendingWrite>& writes) {
    const FileIdentity before = store_.LoadedIdentity();
    const ChangesTaken taken = TakeChangesFromDisk(store_, files_, session_.DataFilePath,
                                                   session_.DataKey, random_, writes);
    if (taken.outcome == ChangesTaken::Outcome::Loaded) {
        Reloaded();
        if (taken.keptBoth > 0) {
            notices_.Show(Message(kMessageKeptBoth));
        }
        return WriteResult::Merged;
    }
    if (!Report(taken, before)) {
        return WriteResult::NotWritten;
    }
    for (const PendingWrite& write : writes) {
        const bool written =
            write.mode == PendingWrite::Mode::Replace
                ? store_.ReplaceRecord(write.fields, write.record, session_.DataFilePath)
                : store_.WriteRecord(write.fields, write.record, session_.DataFilePath,
                                     write.mode == PendingWrite::Mode::Clear);
        if (!written) {
            notices_.WriteFailed();
            return WriteResult::NotWritten;
        }
    }
    return WriteResult::Written;
}

bool DataFileSync::TakeChanges() {
    const FileIdentity before = store_.LoadedIdentity();
    const ChangesTaken taken =
        TakeChangesFromDisk(store_, files_, session_.DataFilePath, session_.DataKey, random_);
    if (taken.outcome == ChangesTaken::Outcome::Loaded) {
        Reloaded();
        return true;
    }
    return Report(taken, before);
}

bool DataFileSync::Report(const ChangesTaken& taken, const FileIdentity& before) {
    switch (taken.outcome) {
        case ChangesTaken::Outcome::Unchanged:
        case ChangesTaken::Outcome::Loaded:
            return true;
        case ChangesTaken::Outcome::OtherFile:
            Reloaded();
            notices_.Show(Message(kMessageOtherFile), Notices::Kind::Warning);
            return false;
        case ChangesTaken::Outcome::Failed:
            // The file may have been loaded before a merged record failed to reach it.
            if (!store_.LoadedIdentity().Unchanged(before)) {
                Reloaded();
            }
            notices_.FileFailed(kMessageWriteFailed, session_.DataFilePath, taken.reason);
            return false;
    }
    return false;
}

void DataFileSync::Reloaded() {
    // A file made anew elsewhere comes with a per-file key of its own.
    if (const int key = StoredDataKey(store_); key != 0) {
        session_.DataKey = key;
    }
    emit storeReloaded();
}

void DataFileSync::StartWatching() {
    OfferConflictCopies();
    // Made only now: the system's watch is of no use before the login.
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &DataFileSync::Watcher_Changed);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &DataFileSync::Watcher_Changed);
    const QString file = AsQString(session_.DataFilePath);
    watcher_->addPath(QFileInfo(file).absolutePath());
    watcher_->addPath(file);
}

void DataFileSync::Watcher_Changed() {
    // A file replaced by rename is no longer watched under its name.
    const QString file = AsQString(session_.DataFilePath);
    if (!watcher_->files().contains(file) && QFileInfo::exists(file)) {
        watcher_->addPath(file);
    }
    TimerSync->start();
}

void DataFileSync::TimerSync_Timer() {
    // An edit keeps its boxes as typed: the change is taken before it is saved. A question
    // open on the screen belongs to a command that may hold on to the tree's nodes.
    if (!session_.EditMode.empty() || locked_ || QApplication::activeModalWidget() != nullptr ||
        (busy_ && busy_())) {
        TimerSync->start();
        return;
    }
    if (TakeChanges()) {
        OfferConflictCopies();
    }
}

void DataFileSync::OfferConflictCopies() {
    const QFileInfo dataFile(AsQString(session_.DataFilePath));
    const std::string dataName = AsPath(dataFile.fileName());
    const QString folder = dataFile.absolutePath();
    for (const QString& entry : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        const std::string name = AsPath(entry);
        if (!IsConflictCopyName(name, dataName) || !offered_.insert(name).second) {
            continue;
        }
        const QString text = Message(kMessageConflictCopy) + "\n" + folder + "/" + entry;
        if (notices_.Confirm(text)) {
            MergeConflictCopy(AsPath(folder), name);
        }
    }
}

void DataFileSync::MergeConflictCopy(const std::string& folder, const std::string& name) {
    const std::string copyPath = folder + "/" + name;
    std::string content;
    if (const IoResult read = files_.ReadAll(copyPath, content); !read) {
        notices_.FileFailed(kMessageNotADataFile, copyPath, read.reason);
        return;
    }
    if (!TakeChanges()) {
        return;
    }
    const ConflictCopyPlan plan = PlanConflictCopyMerge(store_, session_.DataKey, content, random_);
    if (plan.status == ConflictCopyPlan::Status::NotADataFile) {
        notices_.FileFailed(kMessageNotADataFile, copyPath, std::string());
        return;
    }
    if (plan.status == ConflictCopyPlan::Status::OtherProtectedFile) {
        notices_.FileFailed(kMessageOtherProtectedCopy, copyPath, std::string());
        return;
    }
    if (plan.status == ConflictCopyPlan::Status::Full) {
        notices_.Show(Message(kMessageFileFull), Notices::Kind::Warning);
        return;
    }
    for (const RecordWrite& write : plan.writes) {
        if (!store_.ReplaceRecord(write.fields, write.record, session_.DataFilePath)) {
            notices_.WriteFailed();
            emit storeReloaded();
            return;
        }
    }
    const auto taken = [this, &folder](const std::string& candidate) {
        return files_.Exists(folder + "/" + candidate);
    };
    // A copy that keeps its name is offered again at the next start; merging it again adds
    // nothing, so a failed rename loses nothing.
    files_.Rename(copyPath, folder + "/" + MergedCopyName(name, taken));
    emit storeReloaded();
}

}  // namespace keyrack
