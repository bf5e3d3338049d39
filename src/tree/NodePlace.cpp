#include "tree/NodePlace.h"

#include "common/Strings.h"
#include "tree/NodeKeys.h"

namespace keyrack {

int SiblingRank(const std::string& key, bool isGroup) {
    if (key == DefaultGroupKey) {
        return 0;
    }
    return isGroup ? 1 : 2;
}

bool WithinDepthLimit(bool isGroup, int depth) {
    return depth <= (isGroup ? MaxGroupDepth : MaxGroupDepth + 1);
}

std::optional<PlannedNode> PlanWrittenEntry(const TreeRecord& record,
                                            const std::string& previousKey,
                                            const NodeLookup& nodes) {
    if (IsBlank(record.title)) {
        return std::nullopt;
    }
    const std::string key = RecordKey(record.index);
    if (record.key != key || (!previousKey.empty() && previousKey != key)) {
        return std::nullopt;
    }
    const NodeFacts own = nodes(key);
    if (own.exists && (own.isGroup || own.record != record.index)) {
        return std::nullopt;
    }
    const std::string parentKey = record.parentKey.empty() ? DefaultGroupKey : record.parentKey;
    const NodeFacts parent = nodes(parentKey);
    if (!parent.exists || !parent.isGroup || !WithinDepthLimit(false, parent.depth + 1)) {
        return std::nullopt;
    }
    PlannedNode node;
    node.key = key;
    node.parentKey = parentKey;
    node.text = record.title;
    node.record = record.index;
    return node;
}

}  // namespace keyrack
