#include "tree/TreePlan.h"

#include <algorithm>
#include <functional>
#include <unordered_map>
#include <unordered_set>

#include "common/Strings.h"
#include "store/ValueCipher.h"
#include "tree/NodeKeys.h"

namespace keyrack {

namespace {

constexpr int kTitleField = 1;
constexpr int kGroupNameField = 8;
constexpr int kKeyField = 9;
constexpr int kParentField = 10;

// Places every record once, in record order. A record whose parent is not placed yet waits
// under that parent's key and is placed as soon as the parent is, so a file of any shape is
// planned in time proportional to its size.
class Planner {
  public:
    void PlaceGroups(const std::vector<const TreeRecord*>& groups) {
        PlaceAll(groups, [this](const TreeRecord& group, const std::string& parent) {
            Add({UniqueKey(SoundKey(group), group.index, true), parent, group.groupName, true,
                 false, -1});
        });
    }

    void PlaceEntries(const std::vector<const TreeRecord*>& entries) {
        PlaceAll(entries, [this](const TreeRecord& entry, const std::string& parent) {
            Add({UniqueKey(SoundKey(entry), entry.index, false), parent, entry.title, false, false,
                 entry.index});
        });
    }

    void EnsureDefaultGroup() {
        if (!IsPlaced(DefaultGroupKey)) {
            Add({DefaultGroupKey, "", "", true, true, -1});
        }
    }

    bool HasGroup() const {
        return std::any_of(nodes_.begin(), nodes_.end(),
                           [](const PlannedNode& node) { return node.isGroup; });
    }

    // Earlier versions cut the keys of records from 100 on, so several groups may carry the
    // same damaged key. Each such group is known by its own record's key; what names the
    // damaged key as its parent goes under the first group that carried it, unless a group
    // truly has that key.
    void MendDamagedGroupKeys(const std::vector<const TreeRecord*>& groups) {
        std::unordered_set<std::string> sound;
        for (const TreeRecord* group : groups) {
            if (IsSoundKey(group->key, group->index)) {
                sound.insert(group->key);
            }
        }
        for (const TreeRecord* group : groups) {
            if (sound.count(group->key) == 0) {
                mendedKeys_.emplace(group->key, RecordKey(group->index));
            }
        }
    }

    std::vector<PlannedNode> TakeNodes() { return std::move(nodes_); }

  private:
    using Placer = std::function<void(const TreeRecord&, const std::string&)>;

    bool IsPlaced(const std::string& key) const { return placed_.count(key) > 0; }

    void Add(PlannedNode node) {
        placed_.insert(node.key);
        nodes_.push_back(std::move(node));
        arrived_.push_back(nodes_.back().key);
    }

    // A damaged key is replaced by the record's own.
    static std::string SoundKey(const TreeRecord& record) {
        return IsSoundKey(record.key, record.index) ? record.key : RecordKey(record.index);
    }

    // A stored key is kept unless it is empty or already taken; then the record's own key,
    // made unique when even that is taken. Only a group may stand for the default group.
    std::string UniqueKey(const std::string& stored, int index, bool isGroup) const {
        if (!stored.empty() && (isGroup || stored != DefaultGroupKey) && !IsPlaced(stored)) {
            return stored;
        }
        std::string key = RecordKey(index);
        while (IsPlaced(key)) {
            key += '+';
        }
        return key;
    }

    // In record order: a record whose parent is placed goes in at once, the others wait for
    // it. What still waits at the end (parents missing or naming each other) goes into the
    // default group, the first in record order first, which may free those waiting for it.
    void PlaceAll(const std::vector<const TreeRecord*>& records, const Placer& place) {
        waiting_.clear();
        released_ = arrived_.size();
        std::vector<const TreeRecord*> waitingInOrder;
        for (const TreeRecord* record : records) {
            const std::string parent = ParentOf(*record);
            if (parent.empty() || IsPlaced(parent)) {
                PlaceAndRelease(*record, parent, place);
            } else {
                waiting_[parent].push_back(record);
                waitingInOrder.push_back(record);
            }
        }
        for (const TreeRecord* record : waitingInOrder) {
            if (done_.count(record) == 0) {
                EnsureDefaultGroup();
                PlaceAndRelease(*record, DefaultGroupKey, place);
            }
        }
    }

    // Each key placed frees what waits for it, and each record freed may free more.
    void PlaceAndRelease(const TreeRecord& record, const std::string& parent, const Placer& place) {
        place(record, parent);
        done_.insert(&record);
        while (released_ < arrived_.size()) {
            const auto found = waiting_.find(arrived_[released_++]);
            if (found == waiting_.end()) {
                continue;
            }
            const std::vector<const TreeRecord*> freed = std::move(found->second);
            waiting_.erase(found);
            for (const TreeRecord* child : freed) {
                if (done_.insert(child).second) {
                    place(*child, ParentOf(*child));
                }
            }
        }
    }

    // Groups without a parent key are top-level; entries without one belong to the default
    // group, which is added when the first of them is placed.
    std::string ParentOf(const TreeRecord& record) {
        if (!record.parentKey.empty()) {
            const auto mended = mendedKeys_.find(record.parentKey);
            return mended != mendedKeys_.end() ? mended->second : record.parentKey;
        }
        if (IsBlank(record.title)) {
            return {};
        }
        EnsureDefaultGroup();
        return DefaultGroupKey;
    }

    std::vector<PlannedNode> nodes_;
    std::unordered_set<std::string> placed_;
    std::unordered_map<std::string, std::string> mendedKeys_;
    // Records waiting, by the key of the parent they wait for.
    std::unordered_map<std::string, std::vector<const TreeRecord*>> waiting_;
    std::unordered_set<const TreeRecord*> done_;
    // Every key in the order it was placed; those from released_ on have not freed their
    // waiting children yet.
    std::vector<std::string> arrived_;
    std::size_t released_ = 0;
};

}  // namespace

int ReadRecordCount(RecordStore& store) {
    const double count = Val(store.ReadField(6, 1));
    return static_cast<int>(RoundHalfEven(std::clamp(count, -32768.0, 32767.0)));
}

std::vector<TreeRecord> ReadTreeRecords(RecordStore& store, int dataKey, int recordCount) {
    std::vector<TreeRecord> records;
    const int last = std::min({recordCount + 2, store.UpperBound(), MaxRecordNumber});
    records.reserve(static_cast<std::size_t>(std::max(0, last - FirstTreeRecord + 1)));
    const auto decoded = [&](int field, int index) {
        return DecodeValue(store.ReadField(field, index), dataKey);
    };
    for (int index = FirstTreeRecord; index <= last; ++index) {
        TreeRecord record;
        record.index = index;
        record.title = decoded(kTitleField, index);
        // Only a record without a title can be a group; an entry's field 8 is not its name.
        if (IsBlank(record.title)) {
            record.groupName = decoded(kGroupNameField, index);
        }
        record.key = KeyFromStored(Trim(decoded(kKeyField, index)));
        record.parentKey = KeyFromStored(Trim(decoded(kParentField, index)));
        records.push_back(std::move(record));
    }
    return records;
}

std::vector<PlannedNode> PlanTree(const std::vector<TreeRecord>& records) {
    std::vector<const TreeRecord*> groups;
    std::vector<const TreeRecord*> entries;
    for (const TreeRecord& record : records) {
        if (!IsBlank(record.title)) {
            entries.push_back(&record);
        } else if (!IsBlank(record.groupName) && !record.key.empty()) {
            groups.push_back(&record);
        }
    }
    Planner planner;
    planner.MendDamagedGroupKeys(groups);
    planner.PlaceGroups(groups);
    if (!planner.HasGroup()) {
        planner.EnsureDefaultGroup();
    }
    planner.PlaceEntries(entries);
    return planner.TakeNodes();
}

}  // namespace keyrack
