#include "store/Restore.h"

#include "store/DataFileCheck.h"
#include "store/RecordJournal.h"

namespace keyrack {

std::string BeforeRestorePath(const std::string& dataPath) {
    return dataPath + ".before-restore";
}

RestoreResult RestoreBackup(FileIo& io, const std::string& backupPath,
                            const std::string& dataPath) {
    using Status = RestoreResult::Status;
    std::string backup;
    if (const IoResult read = io.ReadAll(backupPath, backup); !read) {
        return {Status::BackupUnreadable, backupPath, read.reason};
    }
    if (ClassifyDataFile(backup) == DataFileKind::NotDataFile) {
        return {Status::NotADataFile, backupPath, {}};
    }
    const std::string kept = BeforeRestorePath(dataPath);
    if (io.Exists(dataPath)) {
        if (const IoResult copied = CopyWhole(io, dataPath, kept); !copied) {
            return {Status::NotReplaced, kept, copied.reason};
        }
    }
    // A record the replaced file left in its journal belongs to that file only.
    if (const IoResult dropped = DropJournal(io, dataPath); !dropped) {
        return {Status::NotReplaced, JournalPath(dataPath), dropped.reason};
    }
    if (const IoResult replaced = ReplaceWhole(io, dataPath, backup); !replaced) {
        return {Status::NotReplaced, dataPath, replaced.reason};
    }
    return {};
}

IoResult UndoRestore(FileIo& io, const std::string& dataPath) {
    const std::string kept = BeforeRestorePath(dataPath);
    std::string content;
    IoResult result = io.ReadAll(kept, content);
    if (result) {
        result = DropJournal(io, dataPath);
    }
    if (result) {
        result = ReplaceWhole(io, dataPath, content);
    }
    if (result) {
        io.Remove(kept);
    }
    return result;
}

IoResult DiscardBeforeRestore(FileIo& io, const std::string& dataPath) {
    return io.Remove(BeforeRestorePath(dataPath));
}

}  // namespace keyrack
