#pragma once

#include <string>
#include <vector>

#include "platform/RandomSource.h"
#include "store/RecordStore.h"

// The rules for changing the entry tree in place: which node may be picked up, where a drop
// lands or whether it is refused, and the record fields a move writes. The form asks them
// while a drag goes on and again on the drop.
namespace keyrack {

// A node of the tree as these rules see it.
struct TreeNodeInfo {
    std::string key;
    bool isGroup = false;
    std::string parentKey;  // empty: top level
};

// Where a drop lands: on a node, or (onNode false) on the empty area below the last node.
struct DropTarget {
    bool onNode = false;
    TreeNodeInfo node;
    // The keys of the target's groups, from its parent up to the top level.
    std::vector<std::string> ancestorKeys;
};

enum class DropOutcome {
    Nothing,  // the node stays where it is: dropped on itself or into its own group
    Refused,  // a group onto itself or its own subtree, or a node that may not move
    Move,
};

struct DropDecision {
    DropOutcome outcome = DropOutcome::Nothing;
    std::string newParentKey;  // where a move goes; empty: top level
};

// Whether a node may be picked up: never the default group, nor a node named like it
// (namedLikeDefaultGroup, compared by the form in the current language), nor a group without a
// record of its own (groupRecord 0), whose new place could not be kept.
bool MayPickUp(const TreeNodeInfo& node, bool namedLikeDefaultGroup, int groupRecord);

// A drop onto a group goes into it, onto an entry into that entry's group; a group dropped on
// the empty area goes to the top level, an entry there stays.
DropDecision DecideDrop(const TreeNodeInfo& dragged, const DropTarget& target);

// The record of the group with key: the record its key names, when that record is a group
// with this key, or with a key earlier versions cut (shown as the record's own). 0 for the
// default group and for a key that names no group record.
int GroupRecordOf(RecordStore& store, const std::string& key, int dataKey);

// A moved entry's record, for WriteRecord: fields 1 to 7 decoded and encoded again (1 to 6
// but the password trimmed), field 8 the node's text, 9 its key, 10 the new group's key. A value
// that would not read back as it reads now is left blank, so the stored field stays as it is.
FieldValues MovedEntryFields(RecordStore& store, int record, const std::string& text,
                             const std::string& key, const std::string& newParentKey, int dataKey,
                             platform::RandomSource& random);

// A moved group's whole record, for ReplaceRecord: as stored, with field 9 its own key whole
// (short form) and field 10 naming the new parent (blank at the top level).
FieldValues MovedGroupFields(RecordStore& store, int record, const std::string& newParentKey,
                             int dataKey, platform::RandomSource& random);

// Where the tree scrolls by itself while a drag is near an edge; positions and sizes in twips.
enum class DragScroll { None, Up, Down, Left, Right };
DragScroll DragScrollDirection(int x, int y, int width, int height);

}  // namespace keyrack
