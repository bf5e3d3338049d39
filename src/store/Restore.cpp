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
    // Read as the store holds a file, so that the restored file is loaded from these bytes.
    WrittenFile written;
    if (const IoResult read = ReadIntoRecordLayout(io, backupPath, written.records, written.length);
        !read) {
        return {Status::BackupUnreadable, backupPath, read.reason, {}};
    }
    const std::string_view backup(reinterpret_cast<const char*>(written.records.data() + 1),
                                  static_cast<std::size_t>(written.length));
    if (ClassifyDataFile(backup) == DataFileKind::NotDataFile) {
        return {Status::NotADataFile, backupPath, {}, {}};
    }
    const std::string kept = BeforeRestorePath(dataPath);
    if (io.Exists(dataPath)) {
        if (const IoResult copied = CopyWhole(io, dataPath, kept); !copied) {
            return {Status::NotReplaced, kept, copied.reason, {}};
        }
    }
    // A record the replaced file left in its journal belongs to that file only.
    if (const IoResult dropped = DropJournal(io, dataPath); !dropped) {
        return {Status::NotReplaced, JournalPath(dataPath), dropped.reason, {}};
    }
    if (const IoResult replaced = ReplaceWhole(io, dataPath, backup); !replaced) {
        return {Status::NotReplaced, dataPath, replaced.reason, {}};
    }
    written.path = dataPath;
    written.identity = io.Identity(dataPath);
    return {Status::Restored, {}, {}, std::move(written)};
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
