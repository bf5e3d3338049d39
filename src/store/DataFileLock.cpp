#include "store/DataFileLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QSysInfo>
#include <optional>

#include "platform/Processes.h"
#include "store/FileIo.h"

namespace keyrack {

DataFileLock::DataFileLock() = default;

DataFileLock::~DataFileLock() {
    if (lock_) {
        lock_->remove();
    }
}

// Written as QLockFile writes its first lines, which is what a lock is judged by. The lock is
// not flushed to the disk: that would hold up every start, and after a crash the lock is stale
// whatever it holds.
bool DataFileLock::TryLock(const std::string& lockPath) {
    auto lock = std::make_unique<QFile>(QString::fromStdString(lockPath));
    if (!lock->open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        // Held when it is there; otherwise none can be made in this folder.
        return !lock->exists();
    }
    const QByteArray content = QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                               QCoreApplication::applicationName().toUtf8() + '\n' +
                               QSysInfo::machineHostName().toUtf8() + '\n';
    if (lock->write(content) != content.size() || !lock->flush()) {
        lock->remove();
        return true;
    }
    lock->close();
    lock_ = std::move(lock);
    return true;
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
