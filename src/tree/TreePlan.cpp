#include "tree/TreePlan.h"

#include <algorithm>
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

class Planner {
  public:
    void PlaceGroups(std::vector<const TreeRecord*> groups) {
        PlaceAll(std::move(groups), [this](const TreeRecord& group, const std::string& parent) {
            if (IsPlaced(group.key)) {
                return;  // a duplicate key: the first group keeps it, children join that one
            }
            Add({group.key, parent, group.groupName, true, false, -1});
        });
    }

    void PlaceEntries(std::vector<const TreeRecord*> entries) {
        PlaceAll(std::move(entries), [this](const TreeRecord& entry, const std::string& parent) {
            Add({EntryKey(entry), parent, entry.title, false, false, entry.index});
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

    std::vector<PlannedNode> TakeNodes() { return std::move(nodes_); }

  private:
    bool IsPlaced(const std::string& key) const { return placed_.count(key) > 0; }

    void Add(PlannedNode node) {
        placed_.insert(node.key);
        nodes_.push_back(std::move(node));
    }

    // An entry keeps its stored key unless it is empty or already taken.
    std::string EntryKey(const TreeRecord& entry) const {
        if (!entry.key.empty() && entry.key != DefaultGroupKey && !IsPlaced(entry.key)) {
            return entry.key;
        }
        std::string key = RecordKey(entry.index);
        while (IsPlaced(key)) {
            key += '+';
        }
        return key;
    }

    // Rounds in record order until one places nothing; then the first record still waiting
    // goes into the default group, which may free those that wait for it.
    template <typename Place>
    void PlaceAll(std::vector<const TreeRecord*> waiting, Place place) {
        while (!waiting.empty()) {
            bool placedAny = true;
            while (placedAny && !waiting.empty()) {
                placedAny = false;
                std::vector<const TreeRecord*> stillWaiting;
                for (const TreeRecord* record : waiting) {
                    const std::string parent = ParentOf(*record);
                    if (parent.empty() || IsPlaced(parent)) {
                        place(*record, parent);
                        placedAny = true;
                    } else {
                        stillWaiting.push_back(record);
                    }
                }
                waiting.swap(stillWaiting);
            }
            if (!waiting.empty()) {
                EnsureDefaultGroup();
                place(*waiting.front(), DefaultGroupKey);
                waiting.erase(waiting.begin());
            }
        }
    }

    // Groups without a parent key are top-level; entries without one belong to the default
    // group, which is added when the first of them is placed.
    std::string ParentOf(const TreeRecord& record) {
        if (!record.parentKey.empty()) {
            return record.parentKey;
        }
        if (IsBlank(record.title)) {
            return {};
        }
        EnsureDefaultGroup();
        return DefaultGroupKey;
    }

    std::vector<PlannedNode> nodes_;
    std::unordered_set<std::string> placed_;
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
    planner.PlaceGroups(std::move(groups));
    if (!planner.HasGroup()) {
        planner.EnsureDefaultGroup();
    }
    planner.PlaceEntries(std::move(entries));
    return planner.TakeNodes();
}

}  // namespace keyrack
