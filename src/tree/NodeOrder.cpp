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

int RankOf(const QTreeWidgetItem* node) {
    const std::string tag = TreePane::NodeTag(node);
    return SiblingRank(TreePane::NodeKey(node), tag == "-1");
}

// Same name: the lower record first, so the order never depends on how the nodes came.
bool TieBefore(const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
    const std::string keyA = TreePane::NodeKey(a);
    const std::string keyB = TreePane::NodeKey(b);
    const int recordA = RecordOfKey(keyA);
    const int recordB = RecordOfKey(keyB);
    return recordA != recordB ? recordA < recordB : keyA < keyB;
}

}  // namespace

NodeOrder::NodeOrder() {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

bool NodeOrder::Before(const QTreeWidgetItem* a, const QTreeWidgetItem* b) const {
    const int rankA = RankOf(a);
    const int rankB = RankOf(b);
    if (rankA != rankB) {
        return rankA < rankB;
    }
    const int byName = collator_.compare(a->text(0), b->text(0));
    return byName != 0 ? byName < 0 : TieBefore(a, b);
}

void NodeOrder::Sort(QList<QTreeWidgetItem*>& siblings) const {
    if (siblings.size() < 2) {
        return;
    }
    // Without a language Qt compares code points, and its keys then keep the case the
    // comparison ignores.
    if (collator_.locale().language() == QLocale::C) {
        std::sort(
            siblings.begin(), siblings.end(),
            [this](const QTreeWidgetItem* a, const QTreeWidgetItem* b) { return Before(a, b); });
        return;
    }
    struct Keyed {
        int rank;
        QCollatorSortKey name;
        QTreeWidgetItem* node;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(static_cast<std::size_t>(siblings.size()));
    for (QTreeWidgetItem* node : siblings) {
        keyed.push_back({RankOf(node), collator_.sortKey(node->text(0)), node});
    }
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        if (a.rank != b.rank) {
            return a.rank < b.rank;
        }
        const int byName = a.name.compare(b.name);
        return byName != 0 ? byName < 0 : TieBefore(a.node, b.node);
    });
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        siblings[static_cast<qsizetype>(i)] = keyed[i].node;
    }
}

}  // namespace keyrack
