#pragma once

#include <string>

#include "store/FileIo.h"
#include "store/RecordMerge.h"

// Whether the data file on disk is still the one this program last read or wrote, or another
// program (a file-sync engine bringing a change from another computer) replaced or rewrote it.
namespace keyrack {

struct DiskCheck {
    enum class State {
        Same,        // nothing to take
        Changed,     // changed says what differs
        Missing,     // the file is gone (a sync engine between delete and rename, or a user)
        Unreadable,  // reason says why
    };
    State state = State::Same;
    ChangedOnDisk changed;
    std::string reason;
    // The file's identity now; keep it as the known one when the state is Same.
    FileIdentity identity;
};

// Cheap while nothing happened: device, inode, length and modification time are compared
// first and the file is read only when one of them differs. It then counts as changed only
// when its records differ from records (as the store holds them: element n is record n), so
// a file copied back with the same bytes or merely touched is not taken again. The file is
// read a piece at a time and only the records that differ are kept.
DiskCheck CheckDataFile(FileIo& io, const std::string& path, const FileIdentity& known,
                        const RecordList& records);

// The records of a data file's content, as the store would load them: element n is record n;
// a partial last record is left out.
RecordList RecordsOf(const std::string& content);

}  // namespace keyrack
