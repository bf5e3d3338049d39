// The entry tree of the main window: rebuilding it from the records and showing a node.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "app/Form_Main.h"
#include "common/Cp1252.h"
#include "common/Strings.h"
#include "lang/Messages.h"
#include "store/RecordCount.h"
#include "store/ValueCipher.h"
#include "tree/TreePlan.h"

namespace keyrack {

namespace {

// A node of the entry tree with what the program reads from it besides its text.
class TreeNode : public QTreeWidgetItem {
  public:
    static constexpr int kType = QTreeWidgetItem::UserType + 1;

    TreeNode(std::string key, std::string tag, int index)
        : QTreeWidgetItem(kType), key(std::move(key)), tag(std::move(tag)), index(index) {}

    const std::string key;
    const std::string tag;  // "-1" for a group, the record index for an entry
    const int index;        // place in the order nodes were added, from 1
};

const TreeNode* AsTreeNode(const QTreeWidgetItem* node) {
    return node != nullptr && node->type() == TreeNode::kType ? static_cast<const TreeNode*>(node)
                                                              : nullptr;
}
constexpr int kEntryButtons[] = {5, 6, 14, 16, 17};

}  // namespace

std::string Form_Main::NodeTag(const QTreeWidgetItem* node) {
    const TreeNode* treeNode = AsTreeNode(node);
    return treeNode != nullptr ? treeNode->tag : std::string();
}

std::string Form_Main::NodeKey(const QTreeWidgetItem* node) {
    const TreeNode* treeNode = AsTreeNode(node);
    return treeNode != nullptr ? treeNode->key : std::string();
}

int Form_Main::NodeIndex(const QTreeWidgetItem* node) {
    const TreeNode* treeNode = AsTreeNode(node);
    return treeNode != nullptr ? treeNode->index : -1;
}

QTreeWidgetItem* Form_Main::NodeAt(int index) const {
    if (index < 1 || index >= static_cast<int>(nodesByIndex_.size())) {
        return nullptr;
    }
    return nodesByIndex_[static_cast<std::size_t>(index)];
}

QTreeWidgetItem* Form_Main::NodeWithKey(const std::string& key) const {
    const auto found = nodesByKey_.find(key);
    return found != nodesByKey_.end() ? found->second : nullptr;
}

void Form_Main::ClearTree() {
    const QSignalBlocker quiet(TreeView1);
    TreeView1->clear();
    nodesByIndex_.assign(1, nullptr);
    nodesByKey_.clear();
    LastAddedNode = nullptr;
    search_.ForgetNodes();
}

QTreeWidgetItem* Form_Main::MakeNode(const std::string& key, const QString& text,
                                     const std::string& tag, bool isGroup) {
    auto* node = new TreeNode(key, tag, static_cast<int>(nodesByIndex_.size()));
    node->setText(0, text);
    node->setIcon(0, ImageList1[isGroup ? 1 : 2]);
    if (isGroup) {
        node->setFont(0, boldFont_);
        node->setFlags(node->flags() | Qt::ItemIsEditable);
    }
    nodesByIndex_.push_back(node);
    nodesByKey_.emplace(key, node);
    return node;
}

QTreeWidgetItem* Form_Main::AddNode(const std::string& key, const std::string& parentKey,
                                    const QString& text, const std::string& tag, bool isGroup) {
    QTreeWidgetItem* parent = parentKey.empty() ? nullptr : NodeWithKey(parentKey);
    if ((!parentKey.empty() && parent == nullptr) || NodeWithKey(key) != nullptr) {
        return nullptr;
    }
    const QSignalBlocker quiet(TreeView1);
    QTreeWidgetItem* node = MakeNode(key, text, tag, isGroup);
    if (parent != nullptr) {
        parent->addChild(node);
    } else {
        TreeView1->addTopLevelItem(node);
    }
    return node;
}

void Form_Main::RemoveNode(QTreeWidgetItem* node) {
    const QSignalBlocker quiet(TreeView1);
    std::vector<QTreeWidgetItem*> pending = {node};
    while (!pending.empty()) {
        QTreeWidgetItem* current = pending.back();
        pending.pop_back();
        for (int i = 0; i < current->childCount(); ++i) {
            pending.push_back(current->child(i));
        }
        nodesByKey_.erase(NodeKey(current));
        nodesByIndex_[static_cast<std::size_t>(NodeIndex(current))] = nullptr;
    }
    if (LastAddedNode == node) {
        LastAddedNode = nullptr;
    }
    delete node;
}

void Form_Main::LoadPasswordList() {
    RecordCount = RecordCountInUse(Store);
    ClearTree();
    if (RecordCount < 1) {
        return;
    }
    // Every record the file holds is visited, whatever the stored count says.
    const std::vector<PlannedNode> plan =
        PlanTree(ReadTreeRecords(Store, DataKey, Store.UpperBound()));
    nodesByIndex_.reserve(plan.size() + 1);
    nodesByKey_.reserve(plan.size());
    // The nodes are put together away from the tree and handed to it in one step: the tree
    // then lays out once instead of once for every node.
    QList<QTreeWidgetItem*> topLevel;
    for (const PlannedNode& planned : plan) {
        const QString text = planned.isDefaultGroup ? Message(2) : FromCp1252(planned.text);
        QTreeWidgetItem* node = MakeNode(planned.key, text, planned.Tag(), planned.isGroup);
        if (planned.parentKey.empty()) {
            topLevel.append(node);
        } else {
            NodeWithKey(planned.parentKey)->addChild(node);
        }
    }
    {
        const QSignalBlocker quiet(TreeView1);
        TreeView1->addTopLevelItems(topLevel);
    }
    ApplySearch();
    if (QTreeWidgetItem* first = NodeAt(1)) {
        ShowNode(first);
    }
}

void Form_Main::ShowNode(QTreeWidgetItem* node) {
    {
        const QSignalBlocker quiet(TreeView1);
        TreeView1->setCurrentItem(node);
    }
    TreeView1_NodeClick(node);
}

void Form_Main::SetEntryButtonsEnabled(bool enabled) {
    for (int index : kEntryButtons) {
        Toolbar1Buttons[index]->setEnabled(enabled);
    }
}

void Form_Main::ForgetSelection() {
    SelectedIndex = -1;
    SelectedTag = -2;
    ParentTag = -2;
    SelectedText.clear();
    SelectedKey.clear();
    ParentKey.clear();
}

void Form_Main::ShowNothing() {
    ForgetSelection();
    ClearBoxes();
    SetEntryButtonsEnabled(false);
}

void Form_Main::TreeView1_NodeClick(QTreeWidgetItem* node) {
    if (node == nullptr) {
        return;
    }
    ForgetSelection();

    QTreeWidgetItem* parent = node->parent();
    SelectedTag = static_cast<int>(RoundHalfEven(Val(NodeTag(node))));
    if (parent != nullptr) {
        ParentTag = static_cast<int>(RoundHalfEven(Val(NodeTag(parent))));
        ParentKey = NodeKey(parent);
    }
    SelectedText = node->text(0);
    SelectedKey = NodeKey(node);
    SelectedIndex = NodeIndex(node);

    if (SelectedTag < 0) {
        ClearBoxes();
        SetEntryButtonsEnabled(false);
    } else {
        const auto field = [this](int number) {
            return DecodeValue(Store.ReadField(number, SelectedTag), DataKey);
        };
        Text1->setPlainText(FromCp1252(field(1)));
        Text2->setText(FromCp1252(field(2)));
        Text3->setText(FromCp1252(field(4)));
        Text4->setText(FromCp1252(field(3)));
        pw_Type = field(5);
        pw_Case = field(6);
        pw_NumChar = field(7);
        SetEntryButtonsEnabled(true);
    }
    DisplayPWType();
}

}  // namespace keyrack
