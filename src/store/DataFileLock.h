#pragma once

#include <functional>
#include <memory>
#include <string>

#include "login/InstanceLock.h"

class QFile;

namespace keyrack {

class FileIo;

// Keeps a second instance of the program away from the data file for as long as this one runs.
class DataFileLock {
  public:
    enum class Outcome {
        Taken,           // the lock is held, or no lock can be made where the file is
        AlreadyRunning,  // another instance on this computer has the data file open
        Declined,        // the user chose not to go on past a lock nobody here holds
    };
    // Asked, with what the lock file says, whether to go on past a lock no instance on this
    // computer holds; true to take it over.
    using GoOnQuestion = std::function<bool(const LockFinding&)>;

    DataFileLock();
    ~DataFileLock();

    // Takes the lock beside path once per run.
    Outcome Take(const std::string& path, FileIo& files, const GoOnQuestion& goOn);

  private:
    // A folder where no lock can be made (read-only media) still lets the file be looked at.
    bool TryLock(const std::string& lockPath);

    // Removed when the program ends; a crash leaves it for the next start to judge.
    std::unique_ptr<QFile> lock_;
};

}  // namespace keyrack
