#include "store/DataFileLock.h"

#include <QLockFile>
#include <QSysInfo>
#include <optional>

#include "platform/Processes.h"
#include "store/FileIo.h"

namespace keyrack {

DataFileLock::DataFileLock() = default;
DataFileLock::~DataFileLock() = default;

bool DataFileLock::TryLock(const std::string& lockPath) {
    auto lock = std::make_unique<QLockFile>(QString::fromStdString(lockPath));
    // A running instance keeps its lock however long it runs; what is left of a process that
    // is gone is judged below.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        lock_ = std::move(lock);
        return true;
    }
    return lock->error() != QLockFile::LockFailedError;
}

DataFileLock::Outcome DataFileLock::Take(const std::string& path, FileIo& files,
                                         const GoOnQuestion& goOn) {
    const std::string lockPath = path + ".lock";
    if (lock_ || TryLock(lockPath)) {
        return Outcome::Taken;
    }
    // Qt gives up on a lock it cannot read or whose removal it cannot mark (a full disk), and
    // on one another computer wrote: only a live instance here may keep the program out.
    std::string content;
    const std::optional<std::string> found =
        files.ReadAll(lockPath, content) ? std::optional<std::string>(content) : std::nullopt;
    const LockFinding finding =
        JudgeLockFile(found, QSysInfo::machineHostName().toStdString(), platform::ProcessRuns);
    if (finding.kind == LockFinding::Kind::LiveHere) {
        return Outcome::AlreadyRunning;
    }
    if (finding.kind != LockFinding::Kind::Stale && !goOn(finding)) {
        return Outcome::Declined;
    }
    files.Remove(lockPath);
    // Should the lock still not be taken, the program goes on without one, as on read-only
    // media.
    TryLock(lockPath);
    return Outcome::Taken;
}

}  // namespace keyrack
