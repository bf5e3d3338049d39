#include "store/DataFileOpening.h"

#include "common/Notices.h"
#include "common/Session.h"
#include "lang/Messages.h"
#include "store/AppPath.h"
#include "store/DataKey.h"

namespace keyrack {

namespace {

constexpr int kMessageConvertOldFile = 47;
constexpr int kMessageUnreadable = 61;
constexpr int kMessageAlreadyRunning = 62;
constexpr int kMessageOpenElsewhere = 80;
constexpr int kMessageLockUnreadable = 81;

QString WithPath(int message, const std::string& path) {
    return Message(message) + "\n" + QString::fromStdString(path);
}

}  // namespace

DataFileOpening::DataFileOpening(Session& session, RecordStore& store, FileIo& files,
                                 platform::RandomSource& random, Notices& notices)
    : session_(session), store_(store), files_(files), random_(random), notices_(notices) {}

bool DataFileOpening::LockAndLoad() {
    session_.DataFilePath = GetAppPath() + "cli.rkd";
    const auto goOn = [this](const LockFinding& finding) {
        return notices_.Confirm(
            finding.kind == LockFinding::Kind::OtherComputer
                ? Message(kMessageOpenElsewhere).arg(QString::fromStdString(finding.computer))
                : Message(kMessageLockUnreadable));
    };
    switch (lock_.Take(session_.DataFilePath, files_, goOn)) {
        case DataFileLock::Outcome::Taken:
            break;
        case DataFileLock::Outcome::AlreadyRunning:
            notices_.Show(Message(kMessageAlreadyRunning), Notices::Kind::Warning);
            return false;
        case DataFileLock::Outcome::Declined:
            return false;
    }
    // The login window waits for nothing more than the records the login reads.
    const LoadResult loaded = store_.LoadLoginRecords(session_.DataFilePath, AskToConvert());
    switch (loaded.status) {
        case LoadResult::Status::Loaded:
            return true;
        case LoadResult::Status::Locked:
            // No login can open a file whose header is damaged; nothing is written to it.
            if (store_.ProtectedHint()) {
                return true;
            }
            [[fallthrough]];
        case LoadResult::Status::Unreadable:
            notices_.Show(WithPath(kMessageUnreadable, loaded.path), Notices::Kind::Error);
            return false;
        case LoadResult::Status::ConversionFailed:
            notices_.Show(WithPath(kMessageWriteFailed, loaded.path), Notices::Kind::Error);
            return false;
        case LoadResult::Status::ConversionDeclined:
            return false;
    }
    return false;
}

bool DataFileOpening::LoadRest() {
    const LoadResult loaded = store_.LoadDataFile(session_.DataFilePath);
    if (!loaded) {
        notices_.Show(WithPath(kMessageUnreadable, loaded.path), Notices::Kind::Error);
    }
    return static_cast<bool>(loaded);
}

RecordStore::ConvertQuestion DataFileOpening::AskToConvert() {
    return [this] {
        return notices_.prompter().MessageBox(&notices_.window(), Message(kMessageConvertOldFile),
                                              platform::Prompter::Buttons::YesNo,
                                              QString()) == platform::Prompter::Answer::Yes;
    };
}

LoadResult DataFileOpening::Load() {
    return store_.LoadDataFile(session_.DataFilePath, AskToConvert());
}

void DataFileOpening::GetKey() {
    if (store_.Kind() == FileKind::Protected) {
        return;  // its values are sealed, not scrambled with a key
    }
    const DataKeyResult result = LoadOrCreateDataKey(store_, session_.DataFilePath, random_);
    session_.DataKey = result.key;
    writeFailed_ = writeFailed_ || !result.written;
}

void DataFileOpening::ReportWriteFailure() {
    if (writeFailed_) {
        writeFailed_ = false;
        notices_.WriteFailed();
    }
}

}  // namespace keyrack
