#include "tree/NodeOrder.h"

#include <QCollatorSortKey>
#include <QTreeWidgetItem>
#include <algorithm>
#include <string>
#include <vector>

#include "tree/NodeKeys.h"
#include "tree/NodePlace.h"
#include "tree/TreePane.h"

namespace keyrack {

namespace {

OrderKey OrderKeyOf(const QTreeWidgetItem* node) {
    return OrderKeyFor(TreePane::NodeKey(node), TreePane::NodeTag(node) == "-1", node->text(0));
}

// Ranks first, then names as compareNames says, then, for the same name, the lower record
// first, so the order never depends on how the nodes came.
template <typename CompareNames>
bool KeyBefore(const OrderKey& a, const OrderKey& b, const CompareNames& compareNames) {
    if (a.rank != b.rank) {
        return a.rank < b.rank;
    }
    const int byName = compareNames(a, b);
    if (byName != 0) {
        return byName < 0;
    }
    return a.record != b.record ? a.record < b.record : a.key < b.key;
}

}  // namespace

OrderKey OrderKeyFor(const std::string& key, bool isGroup, const QString& name) {
    return {SiblingRank(key, isGroup), RecordOfKey(key), key, name};
}

NodeOrder::NodeOrder() {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

bool NodeOrder::Before(const QTreeWidgetItem* a, const QTreeWidgetItem* b) const {
    return KeyBefore(OrderKeyOf(a), OrderKeyOf(b), [this](const OrderKey& x, const OrderKey& y) {
        return collator_.compare(x.name, y.name);
    });
}

void NodeOrder::Sort(QList<QTreeWidgetItem*>& siblings, const std::vector<OrderKey>& keyed) const {
    if (siblings.size() < 2) {
        return;
    }
    std::vector<const OrderKey*> order;
    order.reserve(keyed.size());
    for (const OrderKey& node : keyed) {
        order.push_back(&node);
    }
    // Without a language Qt compares code points, and its keys then keep the case the
    // comparison ignores; with one, each name's collation key is made once.
    if (collator_.locale().language() == QLocale::C) {
        const auto byName = [this](const OrderKey& x, const OrderKey& y) {
            return collator_.compare(x.name, y.name);
        };
        std::sort(order.begin(), order.end(),
                  [&](const OrderKey* a, const OrderKey* b) { return KeyBefore(*a, *b, byName); });
    } else {
        std::vector<QCollatorSortKey> names;
        names.reserve(keyed.size());
        for (const OrderKey& node : keyed) {
            names.push_back(collator_.sortKey(node.name));
        }
        const auto byName = [&](const OrderKey& x, const OrderKey& y) {
            return names[static_cast<std::size_t>(&x - keyed.data())].compare(
                names[static_cast<std::size_t>(&y - keyed.data())]);
        };
        std::sort(order.begin(), order.end(),
                  [&](const OrderKey* a, const OrderKey* b) { return KeyBefore(*a, *b, byName); });
    }
    const QList<QTreeWidgetItem*> unsorted = siblings;
    for (std::size_t i = 0; i < order.size(); ++i) {
        siblings[static_cast<qsizetype>(i)] = unsorted[order[i] - keyed.data()];
    }
}

}  // namespace keyrack
