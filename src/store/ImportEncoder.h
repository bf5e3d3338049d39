#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/RandomSource.h"
#include "store/EntryRecord.h"
#include "store/RecordStore.h"

// Encodes the groups and entries an import adds into its batch while the import goes on reading.
namespace keyrack {

// A group or entry the import adds.
struct PlannedRecord {
    int record = 0;
    bool isGroup = false;
    std::string parentKey;
    EntryValues values;  // a group's name is its title
};

// Takes the planned records in the order of their numbers and encodes each into batch: a plain
// file's values straight into their fields, a protected file's as strings. When random may be
// drawn from several threads at once, a plain file's records are handed in runs to a helper
// thread as they come, and the caller joins in at Finish: encoding and its fill letters are as
// much work as reading the rows.
class ImportEncoder {
  public:
    // batch.grownFrom is set; batch.changes holds at most the record 1 change.
    ImportEncoder(const RecordStore& store, RecordBatch& batch, int dataKey,
                  platform::RandomSource& random);
    ~ImportEncoder();
    ImportEncoder(const ImportEncoder&) = delete;
    ImportEncoder& operator=(const ImportEncoder&) = delete;

    void Add(PlannedRecord planned);
    // Every record added is encoded when this returns.
    void Finish();

  private:
    // Where a record of a plain file is encoded: the fields of a change to a record the store
    // holds, or a whole new record past its end.
    struct Job {
        PlannedRecord planned;
        DataRecord* target = nullptr;
        unsigned* changedFields = nullptr;  // null for a new record
    };
    using Run = std::vector<Job>;

    Job Place(PlannedRecord planned);
    void Encode(Job& job);
    void HandOver(Run run);
    // Encodes the runs handed over until none is left and no more will come.
    void EncodeHandedRuns();

    const RecordStore& store_;
    RecordBatch& batch_;
    const int dataKey_;
    platform::RandomSource& random_;
    const bool shared_;
    Run run_;
    std::mutex mutex_;
    std::condition_variable handed_;
    // Every run handed over stays until the encoder goes, so that the planning thread frees
    // what it allocated: freeing it in the helper made the two contend in the allocator.
    std::deque<Run> handedRuns_;
    std::size_t encodedRuns_ = 0;  // the runs taken by a thread to encode
    bool finished_ = false;
    std::thread helper_;
};

}  // namespace keyrack
