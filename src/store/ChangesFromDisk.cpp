#include "store/ChangesFromDisk.h"

#include <algorithm>

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

bool SameRecords(const RecordList& a, const RecordList& b) {
    const std::size_t count = std::max(a.size(), b.size());
    const DataRecord none;
    for (std::size_t n = 1; n < count; ++n) {
        const DataRecord& x = n < a.size() ? a[n] : none;
        const DataRecord& y = n < b.size() ? b[n] : none;
        if (x.bytes != y.bytes) {
            return false;
        }
    }
    return true;
}

// A protected file's bytes change with every seal, so it is compared opened. A pending change is
// written on top of what the other program wrote when its record was left alone there; a record
// both changed keeps the other program's version and the change is reported as not written.
ChangesTaken TakeProtectedChanges(RecordStore& store, FileIo& io, const std::string& path,
                                  const std::vector<PendingWrite>& pending) {
    ChangesTaken taken;
    const FileIdentity identity = io.Identity(path);
    if (!identity.exists || identity.Unchanged(store.LoadedIdentity())) {
        return taken;
    }
    const RecordList base = store.DataRecords;
    if (!store.ReloadUnlocked()) {
        taken.outcome = ChangesTaken::Outcome::Failed;
        return taken;
    }
    if (SameRecords(base, store.DataRecords)) {
        return taken;
    }
    taken.outcome = ChangesTaken::Outcome::Loaded;
    const DataRecord none;
    for (const PendingWrite& write : pending) {
        const auto at = static_cast<std::size_t>(write.record);
        const DataRecord& before = at < base.size() ? base[at] : none;
        const DataRecord& now = at < store.DataRecords.size() ? store.DataRecords[at] : none;
        const bool written = before.bytes == now.bytes &&
                             (write.mode == PendingWrite::Mode::Replace
                                  ? store.ReplaceRecord(write.fields, write.record, path)
                                  : store.WriteRecord(write.fields, write.record, path,
                                                      write.mode == PendingWrite::Mode::Clear));
        if (!written) {
            taken.outcome = ChangesTaken::Outcome::Failed;
            return taken;
        }
    }
    return taken;
}

}  // namespace

ChangesTaken TakeChangesFromDisk(RecordStore& store, FileIo& io, const std::string& path,
                                 int dataKey, platform::RandomSource& random,
                                 const std::vector<PendingWrite>& pending) {
    if (store.Kind() == FileKind::Protected) {
        return TakeProtectedChanges(store, io, path, pending);
    }
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
    // Only what the check found to differ is taken, rather than the file read again.
    if (const LoadResult loaded = store.TakeChangedRecords(path, std::move(check.changed));
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
