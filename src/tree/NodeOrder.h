#pragma once

#include <QCollator>
#include <QList>
#include <QString>
#include <string>
#include <vector>

class QTreeWidgetItem;

namespace keyrack {

// What the order reads of one node.
struct OrderKey {
    int rank;
    int record;
    std::string key;
    QString name;
};

OrderKey OrderKeyFor(const std::string& key, bool isGroup, const QString& name);

// The order of the nodes under one group (or at the top level), the same after loading and
// after any change: the default group first, then groups, then entries, each by name as the
// user's language sorts names, ignoring case; nodes of the same name by record.
class NodeOrder {
  public:
    NodeOrder();

    bool Before(const QTreeWidgetItem* a, const QTreeWidgetItem* b) const;
    // Puts siblings in order, keys[i] being what the order reads of siblings[i]: no node is
    // read while sorting, and each name's collation key is made once, so a large group costs
    // little more than its comparisons.
    void Sort(QList<QTreeWidgetItem*>& siblings, const std::vector<OrderKey>& keys) const;

  private:
    QCollator collator_;
};

}  // namespace keyrack
