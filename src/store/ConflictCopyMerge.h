#pragma once

#include <string>
#include <vector>

#include "platform/RandomSource.h"
#include "store/RecordMerge.h"

// Bringing a sync engine's conflict copy of the data file into the data file. The copy's record
// numbers say nothing (both files went on allocating records on their own), so groups are
// matched by their path of names and entries by their group's path, title and values.
namespace keyrack {

struct ConflictCopyPlan {
    enum class Status {
        Planned,
        NotADataFile,  // not whole records, or record 1 holds no per-file key
        Full,          // the data file has no room for what comes in
        // A protected copy the open file's key does not open: another file's, or one that
        // does not open with this login.
        OtherProtectedFile,
    };
    Status status = Status::Planned;
    // New records for the data file (and record 1 with the larger record count), in record
    // order. Nothing the data file holds is changed or removed.
    std::vector<RecordWrite> writes;
    int groupsAdded = 0;
    int entriesAdded = 0;
};

// The groups and entries of copyContent that dataFile lacks: an identical entry is skipped, an
// entry that differs in any value comes in beside the one the data file holds, a group missing
// from the data file's tree is made. Planning again after the writes were made finds nothing.
ConflictCopyPlan PlanConflictCopyMerge(const RecordList& dataFile, int dataKey,
                                       const std::string& copyContent,
                                       platform::RandomSource& random);

// The same for the store's open file, plain or protected. A protected copy merges into the
// protected file it is a copy of, opened with the open file's key; a plain copy merges into
// either form.
ConflictCopyPlan PlanConflictCopyMerge(const RecordStore& store, int dataKey,
                                       const std::string& copyContent,
                                       platform::RandomSource& random);

}  // namespace keyrack
