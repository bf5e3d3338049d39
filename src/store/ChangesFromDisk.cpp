#include "store/ChangesFromDisk.h"

#include "common/Strings.h"
#include "store/DiskCheck.h"
#include "store/RecordMerge.h"

namespace keyrack {

namespace {

RecordList WithPending(RecordList records, const std::vector<PendingWrite>& pending) {
    for (const PendingWrite& write : pending) {
        if (write.record >= static_cast<int>(records.size())) {
            records.resize(static_cast<std::size_t>(write.record) + 1);
        }
        DataRecord& target = records[static_cast<std::size_t>(write.record)];
        for (int field = 1; field <= FieldCount; ++field) {
            const std::string& value = write.fields[field - 1];
            if (write.mode == PendingWrite::Mode::Clear) {
                target.SetField(field, "");
            } else if (write.mode == PendingWrite::Mode::Replace || !IsBlank(value)) {
                target.SetField(field, IsBlank(value) ? std::string() : value);
            }
        }
    }
    return records;
}

}  // namespace

ChangesTaken TakeChangesFromDisk(RecordStore& store, FileIo& io, const std::string& path,
                                 int dataKey, platform::RandomSource& random,
                                 const std::vector<PendingWrite>& pending) {
    ChangesTaken taken;
    DiskCheck check = CheckDataFile(io, path, store.LoadedIdentity(), store.DataRecords);
    switch (check.state) {
        case DiskCheck::State::Same:
            store.KeepIdentity(check.identity);
            return taken;
        case DiskCheck::State::Missing:
            // Written whole again from memory by the store's next write.
            return taken;
        case DiskCheck::State::Unreadable:
            taken.outcome = ChangesTaken::Outcome::Failed;
            taken.reason = check.reason;
            return taken;
        case DiskCheck::State::Changed:
            break;
    }
    // The load replaces the records anyway: they are moved, not copied, and the check's read
    // is loaded rather than read again.
    RecordList base = std::move(store.DataRecords);
    if (const LoadResult loaded =
            store.LoadDataFile(path, {std::move(check.content), check.identity});
        !loaded) {
        store.DataRecords = std::move(base);
        taken.outcome = ChangesTaken::Outcome::Failed;
        taken.reason = loaded.reason;
        return taken;
    }
    taken.outcome = ChangesTaken::Outcome::Loaded;
    if (pending.empty()) {
        return taken;
    }
    const RecordMergeResult merged =
        MergeRecords(base, WithPending(base, pending), store.DataRecords, dataKey, random);
    if (merged.status == RecordMergeResult::Status::OtherFile) {
        taken.outcome = ChangesTaken::Outcome::OtherFile;
        return taken;
    }
    if (merged.status == RecordMergeResult::Status::Full) {
        taken.outcome = ChangesTaken::Outcome::Failed;
        return taken;
    }
    for (const RecordWrite& write : merged.writes) {
        if (!store.ReplaceRecord(write.fields, write.record, path)) {
            taken.outcome = ChangesTaken::Outcome::Failed;
            return taken;
        }
    }
    taken.keptBoth = merged.keptBoth;
    return taken;
}

}  // namespace keyrack
