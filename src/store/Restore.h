#pragma once

#include <string>

#include "store/FileIo.h"
#include "store/RecordStore.h"

// Putting the backup in place of the data file. The backup is checked first, the file it
// replaces is kept beside it until the next successful login, and nothing of the replaced file
// (its journal included) is carried over: the restored data file is the backup, byte for byte.
namespace keyrack {

struct RestoreResult {
    enum class Status {
        Restored,
        BackupUnreadable,  // the backup could not be read
        NotADataFile,      // the backup is no data file of this program
        NotReplaced,       // the live file could not be kept, or the backup not put in place
    };
    Status status = Status::Restored;
    std::string path;  // the file that could not be read or written
    std::string reason;
    // Once restored, the data file as written, for the store to load without reading it again.
    WrittenFile written;

    explicit operator bool() const { return status == Status::Restored; }
};

// Where the replaced data file is kept: "cli.rkd.before-restore" beside it, owner-only.
std::string BeforeRestorePath(const std::string& dataPath);

// On failure the data file is as it was.
RestoreResult RestoreBackup(FileIo& io, const std::string& backupPath, const std::string& dataPath);

// Puts the kept file back in place of a restored file that could not be loaded.
IoResult UndoRestore(FileIo& io, const std::string& dataPath);

// The kept file, once a login into the data file has succeeded, is no longer needed.
IoResult DiscardBeforeRestore(FileIo& io, const std::string& dataPath);

}  // namespace keyrack
