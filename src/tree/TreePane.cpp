// The entry tree of the main window: rebuilding it from the records, showing a node and
// adding a group.
#include "tree/TreePane.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <optional>
#include <system_error>
#include <thread>

#include "common/DeferredIcon.h"
#include "common/Notices.h"
#include "common/Session.h"
#include "common/Strings.h"
#include "lang/Messages.h"
#include "store/DataFileSync.h"
#include "store/EntryRecord.h"
#include "store/RecordCount.h"
#include "store/RecordStore.h"
#include "store/ValueCodec.h"
#include "store/ValueText.h"
#include "tree/EntryTree.h"
#include "tree/NodeKeys.h"
#include "tree/NodePlace.h"
#include "tree/TreePlan.h"

namespace keyrack {

namespace {

// A node of the entry tree with what the program reads from it besides its text.
class TreeNode : public QTreeWidgetItem {
  public:
    static constexpr int kType = QTreeWidgetItem::UserType + 1;

    TreeNode(std::string key, int record, int index)
        : QTreeWidgetItem(kType), key(std::move(key)), record(record), index(index) {}

    const std::string key;
    // The tag is made from this when asked for rather than kept, as a large file has tens of
    // thousands of nodes.
    const int record;  // -1 for a group, the entry's record index
    const int index;   // place in the order nodes were added, from 1
};

const TreeNode* AsTreeNode(const QTreeWidgetItem* node) {
    return node != nullptr && node->type() == TreeNode::kType ? static_cast<const TreeNode*>(node)
                                                              : nullptr;
}
constexpr int kDragScrollMs = 200;
constexpr int kNamePrompt = 49;
constexpr int kInsideQuestion = 50;

}  // namespace

TreePane::TreePane(Session& session, RecordStore& store, DataFileSync& sync, Notices& notices,
                   platform::RandomSource& random, QWidget* area, QWidget* searchArea)
    : QObject(area),
      session_(session),
      store_(store),
      sync_(sync),
      notices_(notices),
      random_(random) {
    setObjectName(QStringLiteral("TreePane"));
    BuildSearchBox(area, searchArea);
    TreeView1 = new EntryTree(area);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setSortingEnabled(false);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ImageList1[1] =
        DeferredIcon([area] { return area->style()->standardIcon(QStyle::SP_DirIcon); });
    ImageList1[2] =
        DeferredIcon([area] { return area->style()->standardIcon(QStyle::SP_FileIcon); });
    boldFont_ = TreeView1->font();
    boldFont_.setBold(true);
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current != nullptr) {
            TreeView1_NodeClick(current);
        }
    });
    lblEmptyTree = new QLabel(TreeView1->viewport());
    lblEmptyTree->setObjectName(QStringLiteral("lblEmptyTree"));
    lblEmptyTree->setWordWrap(true);
    auto* emptyTreeLayout = new QVBoxLayout(TreeView1->viewport());
    emptyTreeLayout->addWidget(lblEmptyTree, 0, Qt::AlignTop);
    const auto showEmptyTreeHint = [this] {
        lblEmptyTree->setVisible(TreeView1->topLevelItemCount() == 0);
    };
    connect(TreeView1->model(), &QAbstractItemModel::rowsInserted, this, showEmptyTreeHint);
    connect(TreeView1->model(), &QAbstractItemModel::rowsRemoved, this, showEmptyTreeHint);
    connect(TreeView1->model(), &QAbstractItemModel::modelReset, this, showEmptyTreeHint);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(kDragScrollMs);
    ConnectTreeEdits();
}

QTreeWidget* TreePane::view() const {
    return TreeView1;
}

void TreePane::SetBrowsing(bool browsing) {
    TreeView1->setEnabled(browsing);
    txtSearch->setEnabled(browsing);
}

void TreePane::StopDragScroll() {
    Timer2->stop();
}

std::string TreePane::NodeTag(const QTreeWidgetItem* node) {
    const TreeNode* treeNode = AsTreeNode(node);
    return treeNode != nullptr ? std::to_string(treeNode->record) : std::string();
}

std::string TreePane::NodeKey(const QTreeWidgetItem* node) {
    const TreeNode* treeNode = AsTreeNode(node);
    return treeNode != nullptr ? treeNode->key : std::string();
}

int TreePane::NodeIndex(const QTreeWidgetItem* node) {
    const TreeNode* treeNode = AsTreeNode(node);
    return treeNode != nullptr ? treeNode->index : -1;
}

QTreeWidgetItem* TreePane::NodeAt(int index) const {
    if (index < 1 || index >= static_cast<int>(nodesByIndex_.size())) {
        return nullptr;
    }
    return nodesByIndex_[static_cast<std::size_t>(index)];
}

QTreeWidgetItem* TreePane::NodeWithKey(const std::string& key) const {
    return nodesByKey_.Get(key);
}

void TreePane::ClearTree() {
    const QSignalBlocker quiet(TreeView1);
    TreeView1->clear();
    nodesByIndex_.assign(1, nullptr);
    nodesByKey_.Clear();
    search_.ForgetNodes();
}

QTreeWidgetItem* TreePane::MakeNode(const std::string& key, const QString& text, int record) {
    const bool isGroup = record == -1;
    auto* node = new TreeNode(key, record, static_cast<int>(nodesByIndex_.size()));
    node->setText(0, text);
    node->setIcon(0, ImageList1[isGroup ? 1 : 2]);
    if (isGroup) {
        node->setFont(0, boldFont_);
    }
    // The default group keeps its name, so it never opens the editor.
    if (isGroup && key != DefaultGroupKey) {
        node->setFlags(node->flags() | Qt::ItemIsEditable);
    }
    nodesByIndex_.push_back(node);
    // The table keeps a view of the node's own key, which lives as long as the node.
    nodesByKey_[node->key] = node;
    return node;
}

QTreeWidgetItem* TreePane::AddNode(const std::string& key, const std::string& parentKey,
                                   const QString& text, int record) {
    QTreeWidgetItem* parent = parentKey.empty() ? nullptr : NodeWithKey(parentKey);
    if ((!parentKey.empty() && parent == nullptr) || NodeWithKey(key) != nullptr) {
        return nullptr;
    }
    QTreeWidgetItem* node = MakeNode(key, text, record);
    PlaceNode(node, parent);
    return node;
}

void TreePane::PlaceNode(QTreeWidgetItem* node, QTreeWidgetItem* parent) {
    const QSignalBlocker quiet(TreeView1);
    const auto count = [&] {
        return parent != nullptr ? parent->childCount() : TreeView1->topLevelItemCount();
    };
    const auto at = [&](int row) {
        return parent != nullptr ? parent->child(row) : TreeView1->topLevelItem(row);
    };
    const bool inTree = node->parent() != nullptr || node->treeWidget() == TreeView1;
    if (inTree && node->parent() == parent) {
        const int row =
            parent != nullptr ? parent->indexOfChild(node) : TreeView1->indexOfTopLevelItem(node);
        if ((row == 0 || order_.Before(at(row - 1), node)) &&
            (row + 1 == count() || order_.Before(node, at(row + 1)))) {
            return;
        }
    }
    // The tree forgets which nodes were open when they leave it; they open again afterwards.
    std::vector<QTreeWidgetItem*> open;
    std::vector<QTreeWidgetItem*> pending = {node};
    while (!pending.empty()) {
        QTreeWidgetItem* current = pending.back();
        pending.pop_back();
        if (current->isExpanded()) {
            open.push_back(current);
        }
        for (int i = 0; i < current->childCount(); ++i) {
            pending.push_back(current->child(i));
        }
    }
    if (QTreeWidgetItem* oldParent = node->parent()) {
        oldParent->removeChild(node);
    } else if (inTree) {
        TreeView1->takeTopLevelItem(TreeView1->indexOfTopLevelItem(node));
    }
    int low = 0;
    int high = count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (order_.Before(at(middle), node)) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (parent != nullptr) {
        parent->insertChild(low, node);
    } else {
        TreeView1->insertTopLevelItem(low, node);
    }
    for (QTreeWidgetItem* opened : open) {
        opened->setExpanded(true);
    }
}

void TreePane::RemoveNode(QTreeWidgetItem* node) {
    const QSignalBlocker quiet(TreeView1);
    std::vector<QTreeWidgetItem*> pending = {node};
    while (!pending.empty()) {
        QTreeWidgetItem* current = pending.back();
        pending.pop_back();
        for (int i = 0; i < current->childCount(); ++i) {
            pending.push_back(current->child(i));
        }
        nodesByKey_.Erase(NodeKey(current));
        nodesByIndex_[static_cast<std::size_t>(NodeIndex(current))] = nullptr;
    }
    delete node;
}

void TreePane::LoadPasswordList() {
    const bool raised = BuildNodes();
    if (QTreeWidgetItem* first = NodeAt(1)) {
        ShowNode(first);
    }
    if (raised) {
        notices_.Show(Message(kMessageGroupsTooDeep).arg(MaxGroupDepth), Notices::Kind::Warning);
    }
}

bool TreePane::BuildNodes() {
    session_.RecordCount = RecordCountInUse(store_);
    if (session_.RecordCount < 1) {
        ClearTree();
        return false;
    }
    // Every record the file holds is visited, whatever the stored count says. The records are
    // read and planned on another thread while the old nodes are taken down here: for a large
    // file each takes about as long, and neither touches what the other does.
    std::vector<PlannedNode> plan;
    const auto readAndPlan = [&plan, &store = store_, dataKey = session_.DataKey,
                              upperBound = store_.UpperBound()] {
        plan = PlanTree(ReadTreeRecords(store, dataKey, upperBound));
    };
    std::thread planning;
    try {
        planning = std::thread(readAndPlan);
    } catch (const std::system_error&) {
        // No thread to be had: the records are read after the nodes are taken down.
    }
    ClearTree();
    if (planning.joinable()) {
        planning.join();
    } else {
        readAndPlan();
    }
    const bool raised =
        std::any_of(plan.begin(), plan.end(), [](const PlannedNode& node) { return node.raised; });
    nodesByIndex_.reserve(plan.size() + 1);
    std::vector<int> parentOf;
    parentOf.reserve(plan.size());
    for (const PlannedNode& planned : plan) {
        const QString text =
            planned.isDefaultGroup ? Message(2) : ShownText(store_.Kind(), planned.text);
        MakeNode(planned.key, text, planned.record);
        parentOf.push_back(planned.parent + 1);
    }
    // The plan is let go before the nodes go into the tree, which is when a large file's
    // memory peaks.
    std::vector<PlannedNode>().swap(plan);
    AddChildrenInOrder(parentOf);
    ApplySearch();
    return raised;
}

void TreePane::AddChildrenInOrder(const std::vector<int>& parentOf) {
    // The nodes grouped by parent, each group in the order the nodes were made (a counting
    // sort), so that only one group's order keys are held at a time.
    std::vector<int> firstOf(parentOf.size() + 2, 0);
    for (const int parent : parentOf) {
        ++firstOf[static_cast<std::size_t>(parent) + 1];
    }
    for (std::size_t parent = 1; parent < firstOf.size(); ++parent) {
        firstOf[parent] += firstOf[parent - 1];
    }
    std::vector<int> grouped(parentOf.size());
    {
        std::vector<int> next(firstOf.begin(), firstOf.end() - 1);
        for (std::size_t node = 0; node < parentOf.size(); ++node) {
            grouped[static_cast<std::size_t>(next[static_cast<std::size_t>(parentOf[node])]++)] =
                static_cast<int>(node) + 1;
        }
    }
    QList<QTreeWidgetItem*> children;
    std::vector<OrderKey> orderKeys;
    const auto gather = [&](std::size_t parent) {
        children.clear();
        orderKeys.clear();
        for (int at = firstOf[parent]; at < firstOf[parent + 1]; ++at) {
            auto* node = static_cast<TreeNode*>(
                nodesByIndex_[static_cast<std::size_t>(grouped[static_cast<std::size_t>(at)])]);
            children.append(node);
            orderKeys.push_back(OrderKeyFor(node->key, node->record == -1, node->text(0)));
        }
        order_.Sort(children, orderKeys);
    };
    // The top level last, so that the tree lays out once, with every group filled.
    for (std::size_t parent = 1; parent + 1 < firstOf.size(); ++parent) {
        if (firstOf[parent] < firstOf[parent + 1]) {
            gather(parent);
            nodesByIndex_[parent]->addChildren(children);
        }
    }
    gather(0);
    const QSignalBlocker quiet(TreeView1);
    TreeView1->addTopLevelItems(children);
}

void TreePane::Conceal() {
    concealed_ = {};
    for (const QTreeWidgetItem* node : nodesByIndex_) {
        if (node != nullptr && node->isExpanded()) {
            concealed_.openKeys.push_back(NodeKey(node));
        }
    }
    concealed_.shownKey = NodeKey(TreeView1->currentItem());
    concealed_.scrolled = TreeView1->verticalScrollBar()->value();
    concealed_.searchText = txtSearch->text();
    {
        // Filtering goes on by the query kept aside; setText also drops the undo history.
        const QSignalBlocker quiet(txtSearch);
        txtSearch->setText(QString());
    }
    ClearTree();
}

void TreePane::Reveal() {
    BuildNodes();
    {
        const QSignalBlocker quiet(TreeView1);
        for (const std::string& key : concealed_.openKeys) {
            if (QTreeWidgetItem* node = NodeWithKey(key)) {
                node->setExpanded(true);
            }
        }
        if (QTreeWidgetItem* shown = NodeWithKey(concealed_.shownKey)) {
            TreeView1->setCurrentItem(shown);
            if (session_.SelectedKey == concealed_.shownKey) {
                session_.SelectedIndex = NodeIndex(shown);
            }
        }
    }
    TreeView1->verticalScrollBar()->setValue(concealed_.scrolled);
    {
        const QSignalBlocker quiet(txtSearch);
        txtSearch->setText(concealed_.searchText);
    }
    concealed_ = {};
}

void TreePane::LoadKeepingView() {
    const std::string shown = session_.SelectedKey;
    std::vector<std::string> open;
    for (const QTreeWidgetItem* node : nodesByIndex_) {
        if (node != nullptr && node->isExpanded()) {
            open.push_back(NodeKey(node));
        }
    }
    LoadPasswordList();
    for (const std::string& key : open) {
        if (QTreeWidgetItem* node = NodeWithKey(key)) {
            node->setExpanded(true);
        }
    }
    if (QTreeWidgetItem* node = NodeWithKey(shown)) {
        ShowWorkedOn(node);
    }
}

void TreePane::ShowSavedEntry(int record, const std::string& previousKey) {
    const NodeLookup lookup = [this](const std::string& key) {
        NodeFacts facts;
        const QTreeWidgetItem* node = NodeWithKey(key);
        if (node != nullptr) {
            facts.exists = true;
            facts.isGroup = NodeTag(node) == "-1";
            facts.record = static_cast<int>(RoundHalfEven(Val(NodeTag(node))));
            for (const QTreeWidgetItem* up = node; up != nullptr; up = up->parent()) {
                ++facts.depth;
            }
        }
        return facts;
    };
    const std::optional<PlannedNode> planned =
        PlanWrittenEntry(ReadTreeRecord(store_, session_.DataKey, record), previousKey, lookup);
    if (!planned) {
        // A record only a full load places: the tree is built anew around it.
        session_.SelectedKey = RecordKey(record);
        LoadKeepingView();
        return;
    }
    QTreeWidgetItem* node = NodeWithKey(planned->key);
    if (node == nullptr) {
        node = MakeNode(planned->key, QString(), planned->record);
    }
    node->setText(0, ShownText(store_.Kind(), planned->text));
    PlaceNode(node, NodeWithKey(planned->parentKey));
    // Its address or user name may have changed with its title kept.
    search_.ForgetTexts(NodeIndex(node));
    KeepShownWhileSearching(planned->key);
    ShowWorkedOn(node);
}

void TreePane::RemoveDeletedEntry(const std::string& key) {
    QTreeWidgetItem* node = NodeWithKey(key);
    if (node == nullptr) {
        return;
    }
    // The node below takes its place, or else the one above, which may be its group.
    QTreeWidgetItem* below = TreeView1->itemBelow(node);
    const std::string belowKey =
        below != nullptr && below->parent() == node->parent() ? NodeKey(below) : std::string();
    const std::string aboveKey = NodeKey(TreeView1->itemAbove(node));
    RemoveNode(node);
    DropEmptyDefaultGroup();
    QTreeWidgetItem* next = NodeWithKey(belowKey);
    if (next == nullptr) {
        next = NodeWithKey(aboveKey);
    }
    if (next == nullptr) {
        next = TreeView1->topLevelItem(0);
    }
    if (next != nullptr) {
        ShowWorkedOn(next);
    } else {
        TreeView1->setCurrentItem(nullptr);
        ShowNothing();
    }
}

void TreePane::DropEmptyDefaultGroup() {
    QTreeWidgetItem* group = NodeWithKey(DefaultGroupKey);
    if (group != nullptr && group->childCount() == 0 && group->parent() == nullptr &&
        TreeView1->topLevelItemCount() > 1) {
        RemoveNode(group);
    }
}

void TreePane::ShowWorkedOn(QTreeWidgetItem* node) {
    {
        const QSignalBlocker quiet(TreeView1);
        for (QTreeWidgetItem* up = node->parent(); up != nullptr; up = up->parent()) {
            up->setExpanded(true);
        }
    }
    ShowNode(node);
    TreeView1->scrollToItem(node);
}

void TreePane::ShowNode(QTreeWidgetItem* node) {
    {
        const QSignalBlocker quiet(TreeView1);
        TreeView1->setCurrentItem(node);
    }
    TreeView1_NodeClick(node);
}

bool TreePane::ShowSelectedAgain() {
    QTreeWidgetItem* shown = NodeAt(session_.SelectedIndex);
    if (shown != nullptr) {
        ShowNode(shown);
    }
    return shown != nullptr;
}

void TreePane::ShowNothing() {
    session_.ForgetSelection();
    emit nodeShown();
}

void TreePane::TreeView1_NodeClick(QTreeWidgetItem* node) {
    if (node == nullptr) {
        return;
    }
    session_.ForgetSelection();
    QTreeWidgetItem* parent = node->parent();
    session_.SelectedTag = static_cast<int>(RoundHalfEven(Val(NodeTag(node))));
    if (parent != nullptr) {
        session_.ParentTag = static_cast<int>(RoundHalfEven(Val(NodeTag(parent))));
        session_.ParentKey = NodeKey(parent);
    }
    session_.SelectedText = TypedText(store_.Kind(), node->text(0)).value_or(std::string());
    session_.SelectedKey = NodeKey(node);
    session_.SelectedIndex = NodeIndex(node);
    emit nodeShown();
}

int TreePane::AllocateTreeRecord() {
    // The free record is picked in the file as another computer may have left it.
    if (!sync_.TakeChanges()) {
        return 0;
    }
    const int record = store_.FindFreeRecord(FirstTreeRecord);
    if (record > MaxRecordNumber || session_.RecordCount >= MaxRecordNumber) {
        notices_.Show(Message(kMessageFileFull), Notices::Kind::Warning);
        return 0;
    }
    if (sync_.Write(RecordCountFields(session_.RecordCount + 1), 1) ==
        DataFileSync::WriteResult::NotWritten) {
        return 0;
    }
    session_.RecordCount = RecordCountInUse(store_);
    return record;
}

void TreePane::AddGroup() {
    const QString typed = notices_.prompter().InputBox(&notices_.window(), Message(kNamePrompt),
                                                       notices_.window().windowTitle());
    const auto name = TypedText(store_.Kind(), typed);
    if (name && IsBlank(*name)) {
        return;
    }
    if (!name || !FitsWidth(store_.Kind(), Trim(*name), session_.DataKey, FieldWidth(8))) {
        notices_.CannotStore(Message(kNamePrompt), store_.Kind() == FileKind::Protected);
        return;
    }
    const Session& at = session_;
    std::string parent;
    if (!at.ParentKey.empty() && at.SelectedTag != -1) {
        parent = at.ParentKey;
    } else if (!at.ParentKey.empty()) {
        parent = notices_.Confirm(Message(kInsideQuestion)) ? at.SelectedKey : at.ParentKey;
    } else if (!at.SelectedKey.empty() && at.SelectedTag == -1) {
        parent = notices_.Confirm(Message(kInsideQuestion)) ? at.SelectedKey : std::string();
    } else if (!at.SelectedKey.empty()) {
        return;
    }

    // The count goes up before the group is written, so that a failure leaves no node behind.
    const int record = AllocateTreeRecord();
    const std::string key = RecordKey(record);
    if (record == 0 || (!parent.empty() && NodeWithKey(parent) == nullptr) ||
        NodeWithKey(key) != nullptr) {
        return;
    }
    // Kept before the write too, for a tree built anew from a merged file.
    KeepShownWhileSearching(key);
    if (sync_.Write(
            GroupRecordFields(store_.Kind(), *name, record, parent, session_.DataKey, random_),
            record) != DataFileSync::WriteResult::Written) {
        return;
    }
    QTreeWidgetItem* node = AddNode(key, parent, typed, -1);
    KeepShownWhileSearching(key);
    if (node->parent() != nullptr) {
        node->parent()->setExpanded(true);
    }
}

}  // namespace keyrack
