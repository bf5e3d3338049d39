#include "tree/TreePlan.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "common/SharedRuns.h"
#include "common/Strings.h"
#include "store/ValueCodec.h"
#include "tree/KeyTable.h"
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
    explicit Planner(const std::vector<TreeRecord>& records)
        : records_(records), done_(records.size()), nextWaiting_(records.size(), kNone) {
        // Keys are looked up as views of the nodes' own keys, so the nodes never move.
        nodes_.reserve(records.size() + 1);
    }

    void PlaceGroups(const std::vector<std::size_t>& groups) {
        PlaceAll(groups, [this](const TreeRecord& group, const std::string& parent) {
            Add({UniqueKey(SoundKey(group), group.index, true), parent, group.groupName, true,
                 false, -1});
        });
    }

    void PlaceEntries(const std::vector<std::size_t>& entries) {
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
    // damaged key as its parent goes under the first group that carried it, or whose key was
    // cut to it (a group since renamed or moved), unless a group truly has that key.
    void MendDamagedGroupKeys(const std::vector<std::size_t>& groups) {
        const auto isSound = [this](std::size_t at) {
            return IsSoundKey(records_[at].key, records_[at].index);
        };
        const auto wasCut = [this](std::size_t at) { return !records_[at].cutKey.empty(); };
        if (std::all_of(groups.begin(), groups.end(), isSound) &&
            std::none_of(groups.begin(), groups.end(), wasCut)) {
            return;
        }
        for (std::size_t at : groups) {
            if (isSound(at)) {
                soundKeys_[records_[at].key] = true;
            }
        }
        const auto mend = [this](const std::string& damaged, int record) {
            if (!damaged.empty() && !soundKeys_.Get(damaged) && mendedKeys_.count(damaged) == 0) {
                mendedKeys_.emplace(damaged, RecordKey(record));
            }
        };
        for (std::size_t at : groups) {
            const TreeRecord& group = records_[at];
            if (!isSound(at)) {
                mend(group.key, group.index);
            }
            mend(group.cutKey, group.index);
        }
    }

    std::vector<PlannedNode> TakeNodes() { return std::move(nodes_); }

  private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // What is known of one key: whether a node has it, else the first and last record waiting
    // for it (each links to the next by nextWaiting_).
    struct KeyState {
        bool placed = false;
        int depth = 0;             // of the node with the key
        std::size_t node = kNone;  // its place in nodes_
        std::size_t firstWaiting = kNone;
        std::size_t lastWaiting = kNone;
    };

    bool IsPlaced(std::string_view key) const { return keys_.Get(key).placed; }

    // The new node's key frees the records waiting for it; PlaceAndRelease places them. A node
    // too deep goes up to the nearest ancestor that leaves it within the limit.
    void Add(PlannedNode node) {
        const int deepest = node.isGroup ? MaxGroupDepth : MaxGroupDepth + 1;
        int depth = 1;
        while (!node.parentKey.empty()) {
            const KeyState parent = keys_.Get(node.parentKey);
            if (parent.depth < deepest) {
                depth = parent.depth + 1;
                node.parent = static_cast<int>(parent.node);
                break;
            }
            node.parentKey = nodes_[parent.node].parentKey;
            node.raised = true;
        }
        nodes_.push_back(std::move(node));
        KeyState& state = keys_[nodes_.back().key];
        state.placed = true;
        state.depth = depth;
        state.node = nodes_.size() - 1;
        if (state.firstWaiting != kNone) {
            freed_.push_back(std::exchange(state.firstWaiting, kNone));
        }
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
    template <typename Place>
    void PlaceAll(const std::vector<std::size_t>& records, const Place& place) {
        std::vector<std::size_t> waitingInOrder;
        for (std::size_t at : records) {
            const std::string& parent = ParentOf(records_[at]);
            if (parent.empty()) {
                PlaceAndRelease(at, parent, place);
                continue;
            }
            KeyState& state = keys_[parent];
            if (state.placed) {
                PlaceAndRelease(at, parent, place);
                continue;
            }
            if (state.firstWaiting == kNone) {
                state.firstWaiting = at;
            } else {
                nextWaiting_[state.lastWaiting] = at;
            }
            state.lastWaiting = at;
            waitingInOrder.push_back(at);
        }
        for (std::size_t at : waitingInOrder) {
            if (!done_[at]) {
                EnsureDefaultGroup();
                PlaceAndRelease(at, DefaultGroupKey, place);
            }
        }
    }

    // Places the record, then, in the order their parents came, every record freed by it or by
    // another record freed so.
    template <typename Place>
    void PlaceAndRelease(std::size_t at, const std::string& parent, const Place& place) {
        done_[at] = true;
        place(records_[at], parent);
        for (std::size_t next = 0; next < freed_.size(); ++next) {
            for (std::size_t child = freed_[next]; child != kNone; child = nextWaiting_[child]) {
                if (!done_[child]) {
                    done_[child] = true;
                    place(records_[child], ParentOf(records_[child]));
                }
            }
        }
        freed_.clear();
    }

    // Groups without a parent key are top-level; entries without one belong to the default
    // group, which is added when the first of them is placed.
    const std::string& ParentOf(const TreeRecord& record) {
        static const std::string topLevel;
        static const std::string defaultGroup = DefaultGroupKey;
        if (!record.parentKey.empty()) {
            if (mendedKeys_.empty() || soundKeys_.Get(record.parentKey)) {
                return record.parentKey;
            }
            const auto mended = mendedKeys_.find(record.parentKey);
            return mended != mendedKeys_.end() ? mended->second : record.parentKey;
        }
        if (IsBlank(record.title)) {
            return topLevel;
        }
        EnsureDefaultGroup();
        return defaultGroup;
    }

    const std::vector<TreeRecord>& records_;
    std::vector<PlannedNode> nodes_;
    // Views of the nodes' own keys and of the records' parent keys, which stay where they are.
    KeyTable<KeyState> keys_;
    // Keys that a group truly has, as read (views of the records' keys); kept only while
    // damaged keys are mended.
    KeyTable<char> soundKeys_;
    std::unordered_map<std::string, std::string> mendedKeys_;
    std::vector<bool> done_;
    std::vector<std::size_t> nextWaiting_;
    // The first of each run of records freed and not yet placed.
    std::vector<std::size_t> freed_;
};

}  // namespace

TreeRecord ReadTreeRecord(RecordStore& store, int dataKey, int index) {
    const auto decoded = [&](int field) { return ReadValue(store, field, index, dataKey); };
    TreeRecord record;
    record.index = index;
    record.title = decoded(kTitleField);
    // Only a record without a title can be a group; an entry's field 8 is not its name.
    if (IsBlank(record.title)) {
        record.groupName = decoded(kGroupNameField);
        record.cutKey = KeyCutByEarlierVersions(index, dataKey);
    }
    record.key = KeyFromStored(Trim(decoded(kKeyField)));
    record.parentKey = KeyFromStored(Trim(decoded(kParentField)));
    return record;
}

std::vector<TreeRecord> ReadTreeRecords(RecordStore& store, int dataKey, int recordCount) {
    const int last = std::min({recordCount + 2, store.UpperBound(), MaxRecordNumber});
    std::vector<TreeRecord> records(
        static_cast<std::size_t>(std::max(0, last - FirstTreeRecord + 1)));
    // Decoding is most of showing a large file, and each record is read on its own (reading
    // touches no record but its own), so the records are shared among the cores.
    constexpr std::size_t kRecordsPerRun = 1024;
    constexpr std::size_t kRecordsPerThread = 4096;
    constexpr int kMostThreads = 8;
    ForEachRunShared(records.size(), kRecordsPerRun, kRecordsPerThread, kMostThreads,
                     [&](std::size_t, std::size_t from, std::size_t to) {
                         for (std::size_t at = from; at < to; ++at) {
                             records[at] = ReadTreeRecord(store, dataKey,
                                                          FirstTreeRecord + static_cast<int>(at));
                         }
                     });
    return records;
}

std::vector<PlannedNode> PlanTree(const std::vector<TreeRecord>& records) {
    std::vector<std::size_t> groups;
    std::vector<std::size_t> entries;
    for (std::size_t at = 0; at < records.size(); ++at) {
        const TreeRecord& record = records[at];
        if (!IsBlank(record.title)) {
            entries.push_back(at);
        } else if (!IsBlank(record.groupName) && !record.key.empty()) {
            groups.push_back(at);
        }
    }
    Planner planner(records);
    planner.MendDamagedGroupKeys(groups);
    planner.PlaceGroups(groups);
    if (!planner.HasGroup()) {
        planner.EnsureDefaultGroup();
    }
    planner.PlaceEntries(entries);
    return planner.TakeNodes();
}

}  // namespace keyrack
