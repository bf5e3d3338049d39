#pragma once

#include <functional>
#include <optional>
#include <string>

#include "tree/TreePlan.h"

// Where one node of the entry tree goes after a single record was written, decided as a full
// load would decide it, so the tree can change that node alone and still look as if loaded.
namespace keyrack {

// Among siblings the default group comes first, then groups, then entries.
int SiblingRank(const std::string& key, bool isGroup);

// Whether a node at this depth (a top-level node at 1) is shown where its record puts it.
bool WithinDepthLimit(bool isGroup, int depth);

// What the tree holds under a key, as far as placing a node needs it.
struct NodeFacts {
    bool exists = false;
    bool isGroup = false;
    int depth = 0;    // a top-level node at 1
    int record = -1;  // an entry's record
};
using NodeLookup = std::function<NodeFacts(const std::string& key)>;

// The node a full load would make of the entry record just written, whose node had the key
// previousKey (empty for a new entry). Nothing when only a full load can tell: the record is
// no entry, its key is not the record's own or belongs to another node, or its group is
// missing, not a group, or too deep.
std::optional<PlannedNode> PlanWrittenEntry(const TreeRecord& record,
                                            const std::string& previousKey,
                                            const NodeLookup& nodes);

}  // namespace keyrack
