#pragma once

#include <QCollator>
#include <QList>

class QTreeWidgetItem;

namespace keyrack {

// The order of the nodes under one group (or at the top level), the same after loading and
// after any change: the default group first, then groups, then entries, each by name as the
// user's language sorts names, ignoring case; nodes of the same name by record.
class NodeOrder {
  public:
    NodeOrder();

    bool Before(const QTreeWidgetItem* a, const QTreeWidgetItem* b) const;
    // Puts siblings in order; each name's collation key is made once, so a large group costs
    // little more than its comparisons.
    void Sort(QList<QTreeWidgetItem*>& siblings) const;

  private:
    QCollator collator_;
};

}  // namespace keyrack
