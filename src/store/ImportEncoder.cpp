#include "store/ImportEncoder.h"

#include <cstring>
#include <system_error>
#include <utility>

#include "store/ValueCodec.h"

namespace keyrack {

namespace {

// Records handed to the helper at a time: enough that handing them over costs nothing beside
// encoding them, few enough that the helper starts early.
constexpr std::size_t kRunLength = 256;

// Writes NUL over every field of record but those in fields (bit k - 1 for field k).
void ClearFieldsOtherThan(DataRecord& record, unsigned fields) {
    for (int k = 1; k <= FieldCount; ++k) {
        if ((fields & (1u << (k - 1))) == 0) {
            std::memset(record.bytes.data() + FieldOffset(k), 0,
                        static_cast<std::size_t>(FieldWidth(k)));
        }
    }
}

}  // namespace

ImportEncoder::ImportEncoder(const RecordStore& store, RecordBatch& batch, int dataKey,
                             platform::RandomSource& random)
    : store_(store),
      batch_(batch),
      dataKey_(dataKey),
      random_(random),
      shared_(store.Kind() == FileKind::Plain && random.DrawsFromAnyThread() &&
              std::thread::hardware_concurrency() > 1) {
    // At most one change per record the store holds, or per record number for a protected
    // file. Reserved so that the changes never move: the helper encodes into a plain file's
    // changes where they lie.
    batch_.changes.reserve(store.Kind() == FileKind::Plain
                               ? batch_.grownFrom + 1
                               : static_cast<std::size_t>(MaxRecordNumber) + 1);
}

ImportEncoder::~ImportEncoder() {
    if (helper_.joinable()) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            finished_ = true;
        }
        handed_.notify_all();
        helper_.join();
    }
}

void ImportEncoder::Add(PlannedRecord planned) {
    if (store_.Kind() != FileKind::Plain) {
        const FileKind kind = store_.Kind();
        batch_.changes.push_back(store_.InStoredForm(
            planned.record,
            planned.isGroup
                ? GroupRecordFields(kind, planned.values.title, planned.record, planned.parentKey,
                                    dataKey_, random_)
                : EntryRecordFields(kind, planned.values, planned.parentKey, planned.record,
                                    planned.parentKey, dataKey_, random_)));
        return;
    }
    Job job = Place(std::move(planned));
    if (!shared_) {
        Encode(job);
        return;
    }
    run_.push_back(std::move(job));
    if (run_.size() == kRunLength) {
        HandOver(std::exchange(run_, {}));
        run_.reserve(kRunLength);
    }
}

void ImportEncoder::Finish() {
    if (!helper_.joinable()) {
        // Too few records to be worth a thread, or none to be had.
        for (Job& job : run_) {
            Encode(job);
        }
        run_.clear();
        return;
    }
    if (!run_.empty()) {
        HandOver(std::exchange(run_, {}));
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
    }
    handed_.notify_all();
    EncodeHandedRuns();
    helper_.join();
}

ImportEncoder::Job ImportEncoder::Place(PlannedRecord planned) {
    const std::size_t at = static_cast<std::size_t>(planned.record);
    if (at < batch_.grownFrom) {
        StoredFields& change = batch_.changes.emplace_back();
        change.record = planned.record;
        return {std::move(planned), &change.stored, &change.fields};
    }
    std::vector<DataRecord>& grown = batch_.grown;
    if (grown.empty()) {
        // Room for every record number, so that the records never move: memory reserved and
        // never touched costs nothing.
        grown.reserve(static_cast<std::size_t>(MaxRecordNumber) + 1);
    }
    // Numbers passed over are all-NUL records, as a record past the file's end is.
    if (at > grown.size()) {
        grown.resize(at);
    }
    // A new record's fields are each either encoded whole or cleared, so it is not cleared first.
    DataRecord& target = at < grown.size() ? grown[at] : grown.emplace_back(DataRecord::Unfilled{});
    return {std::move(planned), &target, nullptr};
}

void ImportEncoder::Encode(Job& job) {
    const PlannedRecord& planned = job.planned;
    const unsigned set =
        planned.isGroup
            ? EncodeGroupRecordInto(*job.target, planned.values.title, planned.record,
                                    planned.parentKey, dataKey_, random_)
            : EncodeEntryRecordInto(*job.target, planned.values, planned.parentKey, planned.record,
                                    planned.parentKey, dataKey_, random_);
    if (job.changedFields != nullptr) {
        *job.changedFields = set;
    } else {
        ClearFieldsOtherThan(*job.target, set);
    }
}

void ImportEncoder::HandOver(Run run) {
    if (!helper_.joinable()) {
        try {
            helper_ = std::thread([this] { EncodeHandedRuns(); });
        } catch (const std::system_error&) {
            // No thread to be had: the run is encoded here.
            for (Job& job : run) {
                Encode(job);
            }
            return;
        }
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        handedRuns_.push_back(std::move(run));
    }
    handed_.notify_one();
}

void ImportEncoder::EncodeHandedRuns() {
    for (;;) {
        Run* run = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            handed_.wait(lock, [this] { return finished_ || encodedRuns_ < handedRuns_.size(); });
            if (encodedRuns_ == handedRuns_.size()) {
                return;
            }
            run = &handedRuns_[encodedRuns_++];
        }
        for (Job& job : *run) {
            Encode(job);
        }
    }
}

}  // namespace keyrack
