#include "store/ChangesFromDisk.h"

#include "common/Strings.h"
#include "store/DiskCheck.h"
#include "store/RecordMerge.h"

namespace keyrack {

namespace {

// Only the records the pending writes change are taken, so that a change from disk is merged
// without whole copies of the file.
OwnChanges ChangesOf(const RecordList& records, const std::vector<PendingWrite>& pending) {
    OwnChanges changes;
    for (int record = 1; record < FirstTreeRecord; ++record) {
        changes.base[record] = changes.ours[record] = RecordAt(records, record);
    }
    for (const PendingWrite& write : pending) {
        changes.base.emplace(write.record, RecordAt(records, write.record));
        DataRecord& target =
            changes.ours.emplace(write.record, RecordAt(records, write.record)).first->second;
        for (int field = 1; field <= FieldCount; ++field) {
            const std::string& value = write.fields[field - 1];
            if (write.mode == PendingWrite::Mode::Clear) {
                target.SetField(field, "");
            } else if (write.mode == PendingWrite::Mode::Replace || !IsBlank(value)) {
                target.SetField(field, IsBlank(value) ? std::string() : value);
            }
        }
    }
    return changes;
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
    const OwnChanges changes = ChangesOf(store.DataRecords, pending);
    // The check's read is loaded rather than the file read again.
    if (const LoadResult loaded =
            store.LoadDataFile(path, {std::move(check.content), check.identity});
        !loaded) {
        taken.outcome = ChangesTaken::Outcome::Failed;
        taken.reason = loaded.reason;
        return taken;
    }
    taken.outcome = ChangesTaken::Outcome::Loaded;
    if (pending.empty()) {
        return taken;
    }
    const RecordMergeResult merged = MergeRecords(changes, store.DataRecords, dataKey, random);
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
