#pragma once

#include <map>
#include <vector>

#include "platform/RandomSource.h"
#include "store/RecordStore.h"

// Three-way merge of the data file's records, for a file that another computer changed (through
// a file-sync engine) while this program had changes of its own to write. Every change is one
// record, so records are merged one by one and nothing typed on either computer is lost.
namespace keyrack {

// Element n is record n; element 0 is not used. Records past the end are free.
using RecordList = std::vector<DataRecord>;

struct RecordWrite {
    int record = 0;
    // Every field takes its value (RecordStore::ReplaceRecord); all blank frees the record.
    FieldValues fields;
};

struct RecordMergeResult {
    enum class Status {
        Merged,
        OtherFile,  // the file on disk has another per-file key: it is not this data file
        Full,       // no free record is left for a version that must be kept
    };
    Status status = Status::Merged;
    // What to write on top of the file on disk, in record order; nothing when not merged.
    std::vector<RecordWrite> writes;
    // Groups and entries changed differently on both sides: theirs stays, ours is kept as a
    // copy in a free record of the same group.
    int keptBoth = 0;
};

// Records 1 and 2 and every record this program changed, as they were when the file was last
// read or written (base) and with the changes (ours): all a merge needs of either side.
struct OwnChanges {
    std::map<int, DataRecord> base;
    std::map<int, DataRecord> ours;
};

// Record n as the merge compares it: NULs (a record made in memory and never assigned) read as
// spaces, as the store reads them; a record past the end is blank.
DataRecord RecordAt(const RecordList& records, int record);

// base: the records as last read or written; ours: the same with this program's changes;
// theirs: the file on disk now. A record only one side changed takes that side; fields that
// only one side changed are combined. A record both sides changed in the same field stays as
// theirs, and ours is copied to a free record. A record added on both sides under one number
// stays theirs and ours moves to a free record (with whatever of ours named it as parent).
// Record 1 keeps the larger record count; record 2 takes the login from disk unless only ours
// changed it, and the backup settings of the later backup date.
RecordMergeResult MergeRecords(const RecordList& base, const RecordList& ours,
                               const RecordList& theirs, int dataKey,
                               platform::RandomSource& random);
// The same, from this program's changes alone.
RecordMergeResult MergeRecords(const OwnChanges& changes, const RecordList& theirs, int dataKey,
                               platform::RandomSource& random);

}  // namespace keyrack
