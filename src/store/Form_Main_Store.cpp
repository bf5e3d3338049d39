#include <QLockFile>

#include "app/Form_Main.h"
#include "lang/Messages.h"
#include "store/AppPath.h"

namespace keyrack {

namespace {

constexpr int kMessageConvertOldFile = 47;
constexpr int kMessageUnreadable = 61;
constexpr int kMessageAlreadyRunning = 62;

QString WithPath(int message, const std::string& path) {
    return Message(message) + "\n" + QString::fromStdString(path);
}

}  // namespace

bool Form_Main::SetUp() {
    DataFilePath = GetAppPath() + "cli.rkd";
    if (!LockDataFile()) {
        ShowMessage(Message(kMessageAlreadyRunning));
        return false;
    }
    const auto confirmConversion = [this] {
        return services_.prompter.MessageBox(this, Message(kMessageConvertOldFile),
                                             platform::Prompter::Buttons::YesNo,
                                             QString()) == platform::Prompter::Answer::Yes;
    };
    const LoadResult loaded = Store.LoadDataFile(DataFilePath, confirmConversion);
    switch (loaded.status) {
        case LoadResult::Status::Loaded:
            return true;
        case LoadResult::Status::Unreadable:
            ShowMessage(WithPath(kMessageUnreadable, loaded.path));
            return false;
        case LoadResult::Status::ConversionFailed:
            ShowMessage(WithPath(kMessageWriteFailed, loaded.path));
            return false;
        case LoadResult::Status::ConversionDeclined:
            return false;
    }
    return false;
}

bool Form_Main::LockDataFile() {
    if (dataFileLock_) {
        return true;
    }
    auto lock = std::make_unique<QLockFile>(QString::fromStdString(DataFilePath + ".lock"));
    // A running instance keeps its lock however long it runs; only the lock of a process that
    // is gone is taken over.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        dataFileLock_ = std::move(lock);
        return true;
    }
    // A folder where no lock can be made (read-only media) still lets the file be looked at;
    // only a lock held by another instance stops the start.
    return lock->error() != QLockFile::LockFailedError;
}

}  // namespace keyrack
