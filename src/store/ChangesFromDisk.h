#pragma once

#include <string>
#include <vector>

#include "platform/RandomSource.h"
#include "store/RecordStore.h"

// Taking what another program (a file-sync engine) wrote into the data file, before this program
// writes its own change or when the file is seen to change while idle.
namespace keyrack {

// A change about to be written, as RecordStore's writers take it.
struct PendingWrite {
    enum class Mode {
        Update,   // WriteRecord: blank values leave their field as it was
        Replace,  // ReplaceRecord: every field takes its value
        Clear,    // WriteRecord with clear: the record is freed
    };
    int record = 0;
    FieldValues fields;
    Mode mode = Mode::Update;
};

struct ChangesTaken {
    enum class Outcome {
        Unchanged,  // the file is the one last read or written; write the change as usual
        Loaded,     // the store now holds the file on disk; the pending changes were merged
                    // into it and written
        OtherFile,  // the file on disk was loaded, but it has another per-file key: the pending
                    // changes were not written
        Failed,     // the file could not be read, or a merged record not written; reason says
    };
    Outcome outcome = Outcome::Unchanged;
    // Records both sides changed differently: theirs stays, ours is kept as a copy.
    int keptBoth = 0;
    std::string reason;
};

// When the file at path is no longer what the store last read or wrote, the store reloads it
// and the pending changes (none while idle) are merged into what it holds: a change only one
// side made wins, nothing typed on either side is lost.
ChangesTaken TakeChangesFromDisk(RecordStore& store, FileIo& io, const std::string& path,
                                 int dataKey, platform::RandomSource& random,
                                 const std::vector<PendingWrite>& pending = {});

}  // namespace keyrack
