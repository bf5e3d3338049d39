#include "store/RecordMerge.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "common/Strings.h"
#include "store/BackupDate.h"
#include "store/ValueCipher.h"
#include "tree/NodeKeys.h"

namespace keyrack {

namespace {

constexpr int kHeaderRecord = 1;
constexpr int kSettingsRecord = 2;
constexpr int kDataKeyField = 5;
constexpr int kCountField = 6;
constexpr int kLoginFields[] = {1, 3, 4};
constexpr int kBackupFields[] = {5, 6};
constexpr int kBackupDateField = 6;
constexpr int kTitleField = 1;
constexpr int kEntryGroupField = 8;
constexpr int kOwnKeyField = 9;
constexpr int kParentField = 10;

DataRecord At(const RecordList& records, int record) {
    return RecordAt(records, record);
}

DataRecord At(const std::map<int, DataRecord>& records, int record) {
    const auto found = records.find(record);
    if (found != records.end()) {
        return found->second;
    }
    DataRecord blank;
    blank.Blank();
    return blank;
}

bool IsFree(const DataRecord& record) {
    return std::all_of(record.bytes.begin(), record.bytes.end(), [](char c) { return c == ' '; });
}

// Values are compared as they decode: saving an entry again draws new fill letters, which
// changes the bytes but not the entry.
std::string Value(const DataRecord& record, int field, int key) {
    return DecodeValue(Trim(record.Field(field)), key);
}

bool SameValues(const DataRecord& a, const DataRecord& b, int key) {
    for (int field = 1; field <= FieldCount; ++field) {
        if (Value(a, field, key) != Value(b, field, key)) {
            return false;
        }
    }
    return true;
}

bool SameFields(const DataRecord& a, const DataRecord& b, const int* fields, std::size_t count,
                int key) {
    for (std::size_t i = 0; i < count; ++i) {
        if (Value(a, fields[i], key) != Value(b, fields[i], key)) {
            return false;
        }
    }
    return true;
}

void TakeFields(DataRecord& into, const DataRecord& from, const int* fields, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        into.SetField(fields[i], from.Field(fields[i]));
    }
}

int StoredCount(const DataRecord& header) {
    const std::string text = Trim(header.Field(kCountField));
    if (text.empty() || text.size() > 5 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    return std::stoi(text);
}

std::tuple<int, int, int> DateOrder(const DataRecord& settings, int dataKey) {
    const auto date = ParseBackupDate(Value(settings, kBackupDateField, dataKey));
    return date ? std::make_tuple(date->year, date->month, date->day) : std::make_tuple(0, 0, 0);
}

FieldValues FieldsOf(const DataRecord& record) {
    FieldValues fields;
    for (int field = 1; field <= FieldCount; ++field) {
        fields[field - 1] = record.Field(field);
    }
    return fields;
}

// A tree record this merge writes: where, what, and which of its key references came from
// ours (and so may name a record of ours that moved).
struct Pending {
    int record = 0;
    DataRecord content;
    bool parentFromOurs = false;
    bool groupFromOurs = false;
};

class Merge {
  public:
    Merge(const OwnChanges& changes, const RecordList& theirs, int dataKey,
          platform::RandomSource& random)
        : base_(changes.base),
          ours_(changes.ours),
          theirs_(theirs),
          key_(dataKey),
          random_(random) {}

    RecordMergeResult Run() {
        RecordMergeResult result;
        const int theirKey = StoredKey(At(theirs_, kHeaderRecord));
        const int ourKey = StoredKey(At(ours_, kHeaderRecord));
        if (theirKey != 0 && ourKey != 0 && theirKey != ourKey) {
            result.status = RecordMergeResult::Status::OtherFile;
            return result;
        }
        for (const auto& changed : ours_) {
            if (changed.first >= FirstTreeRecord) {
                MergeTreeRecord(changed.first);
            }
        }
        if (!PlaceDisplaced()) {
            result.status = RecordMergeResult::Status::Full;
            return result;
        }
        Renumber();
        KeepNamedGroups();
        AdoptOrphans();
        result.keptBoth = keptBoth_;
        AddIfChanged(result, kSettingsRecord, MergedSettings());
        AddIfChanged(result, kHeaderRecord, MergedHeader());
        for (const Pending& write : pending_) {
            AddIfChanged(result, write.record, write.content);
        }
        std::sort(result.writes.begin(), result.writes.end(),
                  [](const RecordWrite& a, const RecordWrite& b) { return a.record < b.record; });
        return result;
    }

  private:
    static int StoredKey(const DataRecord& header) {
        const std::string text = Value(header, kDataKeyField, LoginKey);
        return !text.empty() &&
                       std::all_of(text.begin(), text.end(),
                                   [](char c) { return c >= '0' && c <= '9'; }) &&
                       text.size() < 5
                   ? std::stoi(text)
                   : 0;
    }

    void MergeTreeRecord(int record) {
        const DataRecord base = At(base_, record);
        const DataRecord ours = At(ours_, record);
        // A record written again as it was: the bytes tell without decoding.
        if (ours.bytes == base.bytes) {
            return;
        }
        const DataRecord theirs = At(theirs_, record);
        if (SameValues(ours, base, key_) || SameValues(ours, theirs, key_)) {
            return;
        }
        if (SameValues(theirs, base, key_) || IsFree(theirs)) {
            // Only ours changed it, or theirs deleted what ours changed: ours comes back.
            pending_.push_back({record, ours, true, true});
            return;
        }
        if (IsFree(ours)) {
            return;  // ours deleted what theirs changed: the change is kept
        }
        if (IsFree(base)) {
            displaced_.push_back({record, ours, true, true});
            addedOnBoth_.insert({RecordKey(record), 0});
            return;
        }
        DataRecord merged = theirs;
        bool parentFromOurs = false;
        bool groupFromOurs = false;
        for (int field = 1; field <= FieldCount; ++field) {
            const std::string baseValue = Value(base, field, key_);
            const std::string ourValue = Value(ours, field, key_);
            if (ourValue == baseValue || ourValue == Value(theirs, field, key_)) {
                continue;
            }
            if (Value(theirs, field, key_) != baseValue) {
                ++keptBoth_;
                displaced_.push_back({record, ours, true, true});
                return;
            }
            merged.SetField(field, ours.Field(field));
            parentFromOurs |= field == kParentField;
            groupFromOurs |= field == kEntryGroupField;
        }
        pending_.push_back({record, merged, parentFromOurs, groupFromOurs});
    }

    // Gives every displaced record of ours the lowest record free after the merge.
    bool PlaceDisplaced() {
        std::map<int, bool> taken;
        for (const Pending& write : pending_) {
            taken[write.record] = !IsFree(write.content);
        }
        int next = FirstTreeRecord;
        const auto isTaken = [&](int record) {
            const auto found = taken.find(record);
            return found != taken.end() ? found->second : !IsFree(At(theirs_, record));
        };
        for (Pending& displaced : displaced_) {
            while (isTaken(next)) {
                ++next;
            }
            if (next > MaxRecordNumber) {
                return false;
            }
            const auto moved = addedOnBoth_.find(RecordKey(displaced.record));
            if (moved != addedOnBoth_.end()) {
                moved->second = next;
            }
            displaced.record = next;
            displaced.content.SetField(kOwnKeyField, EncodedKey(RecordKey(next)));
            taken[next] = true;
            pending_.push_back(displaced);
        }
        return true;
    }

    // Ours named its own new records as parents; where such a record moved, so does the name.
    void Renumber() {
        for (Pending& write : pending_) {
            if (write.parentFromOurs) {
                Rename(write.content, kParentField);
            }
            const bool isEntry = !Value(write.content, kTitleField, key_).empty();
            if (isEntry && write.groupFromOurs) {
                Rename(write.content, kEntryGroupField);
            }
        }
    }

    // A group ours deleted stays while anything left in the file names it as its parent.
    void KeepNamedGroups() {
        const bool freesAGroup = std::any_of(
            pending_.begin(), pending_.end(),
            [this](const Pending& w) { return IsFree(w.content) && IsGroup(At(base_, w.record)); });
        // Naming every parent in the file costs a pass over all records.
        for (bool kept = freesAGroup; kept;) {
            kept = false;
            const std::set<std::string> named = NamedParents();
            const auto stays =
                std::find_if(pending_.begin(), pending_.end(), [&](const Pending& w) {
                    return IsFree(w.content) && IsGroup(At(base_, w.record)) &&
                           named.count(RecordKey(w.record)) > 0;
                });
            if (stays != pending_.end()) {
                pending_.erase(stays);
                kept = true;
            }
        }
    }

    // What ours brings back or adds into a group that theirs deleted goes to the default
    // group (an entry) or the top level (a group): a missing parent would stop the tree's
    // loading at that record.
    void AdoptOrphans() {
        const std::map<int, const DataRecord*> merged = Overrides();
        for (Pending& write : pending_) {
            if (IsFree(write.content)) {
                continue;
            }
            const int parent = RecordOfKey(KeyFromStored(Value(write.content, kParentField, key_)));
            if (parent < FirstTreeRecord || IsGroup(MergedAt(merged, parent))) {
                continue;
            }
            if (IsGroup(write.content)) {
                write.content.SetField(kParentField, "");
            } else {
                write.content.SetField(kParentField, EncodedKey(DefaultGroupKey));
                write.content.SetField(kEntryGroupField, EncodedKey(DefaultGroupKey));
            }
        }
    }

    std::set<std::string> NamedParents() const {
        const std::map<int, const DataRecord*> merged = Overrides();
        int last = static_cast<int>(theirs_.size()) - 1;
        if (!merged.empty()) {
            last = std::max(last, merged.rbegin()->first);
        }
        std::set<std::string> named;
        for (int record = FirstTreeRecord; record <= last; ++record) {
            const DataRecord content = MergedAt(merged, record);
            if (!IsFree(content)) {
                named.insert(KeyFromStored(Value(content, kParentField, key_)));
            }
        }
        return named;
    }

    // The records this merge writes, by record number.
    std::map<int, const DataRecord*> Overrides() const {
        std::map<int, const DataRecord*> merged;
        for (const Pending& write : pending_) {
            merged[write.record] = &write.content;
        }
        return merged;
    }

    DataRecord MergedAt(const std::map<int, const DataRecord*>& merged, int record) const {
        const auto found = merged.find(record);
        return found != merged.end() ? *found->second : At(theirs_, record);
    }

    bool IsGroup(const DataRecord& record) const {
        return !IsFree(record) && Value(record, kTitleField, key_).empty() &&
               !Value(record, kEntryGroupField, key_).empty();
    }

    void Rename(DataRecord& record, int field) {
        const auto moved = addedOnBoth_.find(KeyFromStored(Value(record, field, key_)));
        if (moved != addedOnBoth_.end()) {
            record.SetField(field, EncodedKey(RecordKey(moved->second)));
        }
    }

    std::string EncodedKey(const std::string& key) {
        return EncodeValue(StoredKeyForm(key), key_, true, FieldWidth(kOwnKeyField), random_);
    }

    DataRecord MergedHeader() {
        const DataRecord ours = At(ours_, kHeaderRecord);
        DataRecord merged = At(theirs_, kHeaderRecord);
        if (Trim(merged.Field(kDataKeyField)).empty()) {
            merged.SetField(kDataKeyField, ours.Field(kDataKeyField));
        }
        int highest = 0;
        for (const Pending& write : pending_) {
            highest = std::max(highest, write.record);
        }
        const int count =
            std::max({StoredCount(ours), StoredCount(merged), highest - FirstTreeRecord + 1});
        if (count != StoredCount(merged)) {
            merged.SetField(kCountField, std::to_string(count));
        }
        return merged;
    }

    DataRecord MergedSettings() {
        const DataRecord base = At(base_, kSettingsRecord);
        const DataRecord ours = At(ours_, kSettingsRecord);
        DataRecord merged = At(theirs_, kSettingsRecord);
        const auto sameLogin = [](const DataRecord& a, const DataRecord& b) {
            return SameFields(a, b, kLoginFields, std::size(kLoginFields), LoginKey);
        };
        if (sameLogin(merged, base) && !sameLogin(ours, base)) {
            TakeFields(merged, ours, kLoginFields, std::size(kLoginFields));
        }
        const auto sameBackup = [this](const DataRecord& a, const DataRecord& b) {
            return SameFields(a, b, kBackupFields, std::size(kBackupFields), key_);
        };
        const auto ourDate = DateOrder(ours, key_);
        const auto theirDate = DateOrder(merged, key_);
        const bool oursOnly = sameBackup(merged, base) && !sameBackup(ours, base);
        if (ourDate > theirDate || (ourDate == theirDate && oursOnly)) {
            TakeFields(merged, ours, kBackupFields, std::size(kBackupFields));
        }
        return merged;
    }

    void AddIfChanged(RecordMergeResult& result, int record, const DataRecord& content) {
        if (content.bytes != At(theirs_, record).bytes) {
            result.writes.push_back({record, FieldsOf(content)});
        }
    }

    const std::map<int, DataRecord>& base_;
    const std::map<int, DataRecord>& ours_;
    const RecordList& theirs_;
    const int key_;
    platform::RandomSource& random_;
    std::vector<Pending> pending_;
    std::vector<Pending> displaced_;
    // The key of each record added on both sides, and where ours of it went.
    std::map<std::string, int> addedOnBoth_;
    int keptBoth_ = 0;
};

}  // namespace

DataRecord RecordAt(const RecordList& records, int record) {
    DataRecord result;
    result.Blank();
    if (record < static_cast<int>(records.size())) {
        result = records[record];
        std::replace(result.bytes.begin(), result.bytes.end(), '\0', ' ');
    }
    return result;
}

RecordMergeResult MergeRecords(const RecordList& base, const RecordList& ours,
                               const RecordList& theirs, int dataKey,
                               platform::RandomSource& random) {
    OwnChanges changes;
    const int last = static_cast<int>(std::max(base.size(), ours.size()));
    for (int record = 1; record < last; ++record) {
        DataRecord was = RecordAt(base, record);
        DataRecord is = RecordAt(ours, record);
        if (record < FirstTreeRecord || was.bytes != is.bytes) {
            changes.base.emplace(record, std::move(was));
            changes.ours.emplace(record, std::move(is));
        }
    }
    return MergeRecords(changes, theirs, dataKey, random);
}

RecordMergeResult MergeRecords(const OwnChanges& changes, const RecordList& theirs, int dataKey,
                               platform::RandomSource& random) {
    return Merge(changes, theirs, dataKey, random).Run();
}

}  // namespace keyrack
