#pragma once

#include <string>
#include <vector>

#include "store/RecordStore.h"

// Which record becomes which node of the entry tree, under which parent, in which order. The
// form only creates the nodes this plan lists.
namespace keyrack {

// The deepest a group is shown, a top-level group being at depth 1; an entry may be one deeper.
// Far deeper than any keeper nests, and far below the depth the tree view can lay out.
constexpr int MaxGroupDepth = 100;

// The decoded fields of one tree record that decide its place.
struct TreeRecord {
    int index = 0;
    std::string title;      // field 1: set for an entry
    std::string groupName;  // field 8
    std::string key;        // field 9, as a node key
    std::string parentKey;  // field 10, as a node key
    // What earlier versions left of a group record's key (KeyCutByEarlierVersions): its
    // entries may still name it after the group's own key has been written whole. Entries
    // leave it empty, as nothing can name an entry as its parent.
    std::string cutKey;
};

struct PlannedNode {
    std::string key;
    std::string parentKey;  // empty: top level
    std::string text;
    bool isGroup = false;
    // The group the program adds for entries without a group; it shows a catalogue text.
    bool isDefaultGroup = false;
    int record = -1;  // the entry's record index; -1 for groups
    // Shown higher than its stored parent puts it: under the nearest group above it that
    // leaves it within MaxGroupDepth. The file keeps the stored parent.
    bool raised = false;
    int parent = -1;  // the parent's position in the plan; -1 at the top level

    // The tag other parts read: "-1" for a group, the record index for an entry.
    std::string Tag() const { return isGroup ? "-1" : std::to_string(record); }
};

// One tree record, decoded with the file's key.
TreeRecord ReadTreeRecord(RecordStore& store, int dataKey, int index);
// The tree records 3 .. recordCount + 2, decoded with the file's key.
std::vector<TreeRecord> ReadTreeRecords(RecordStore& store, int dataKey, int recordCount);

// Nodes in the order they are to be added; a parent always comes before its children, and
// every key is used once. Groups come before entries, each in record order. A node whose
// parent is not placed yet waits for it and follows it at once; what waits for a parent that
// never comes goes into the default group. A node deeper than MaxGroupDepth allows is raised.
// Every group and entry record gets a node: a key
// that is taken or damaged gives way to the record's own ("K" and its number). Time and
// memory grow in proportion to the number of records, whatever the file's shape.
std::vector<PlannedNode> PlanTree(const std::vector<TreeRecord>& records);

}  // namespace keyrack
