#include "store/DataFileLock.h"

#include <QLockFile>

namespace keyrack {

DataFileLock::DataFileLock() = default;
DataFileLock::~DataFileLock() = default;

bool DataFileLock::Take(const std::string& path) {
    if (lock_) {
        return true;
    }
    auto lock = std::make_unique<QLockFile>(QString::fromStdString(path + ".lock"));
    // A running instance keeps its lock however long it runs; only the lock of a process that
    // is gone is taken over.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        lock_ = std::move(lock);
        return true;
    }
    // A folder where no lock can be made (read-only media) still lets the file be looked at;
    // only a lock held by another instance stops the start.
    return lock->error() != QLockFile::LockFailedError;
}

}  // namespace keyrack
