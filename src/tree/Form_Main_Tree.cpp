// The entry tree of the main window: rebuilding it from the records and showing a node.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStyle>
#include <QTreeWidget>

#include "app/Form_Main.h"
#include "common/Cp1252.h"
#include "common/Strings.h"
#include "lang/Messages.h"
#include "store/ValueCipher.h"
#include "tree/TreePlan.h"

namespace keyrack {

namespace {

constexpr int kTagRole = Qt::UserRole;
constexpr int kKeyRole = Qt::UserRole + 1;
constexpr int kIndexRole = Qt::UserRole + 2;
constexpr int kEntryButtons[] = {5, 6, 14, 16, 17};

}  // namespace

QString Form_Main::NodeTag(const QTreeWidgetItem* node) {
    return node != nullptr ? node->data(0, kTagRole).toString() : QString();
}

std::string Form_Main::NodeKey(const QTreeWidgetItem* node) {
    return node != nullptr ? node->data(0, kKeyRole).toString().toStdString() : std::string();
}

int Form_Main::NodeIndex(const QTreeWidgetItem* node) {
    return node != nullptr ? node->data(0, kIndexRole).toInt() : -1;
}

QTreeWidgetItem* Form_Main::NodeAt(int index) const {
    if (index < 1 || index >= static_cast<int>(nodesByIndex_.size())) {
        return nullptr;
    }
    return nodesByIndex_[static_cast<std::size_t>(index)];
}

QTreeWidgetItem* Form_Main::NodeWithKey(const std::string& key) const {
    return nodesByKey_.value(QString::fromStdString(key), nullptr);
}

void Form_Main::ClearTree() {
    const QSignalBlocker quiet(TreeView1);
    TreeView1->clear();
    nodesByIndex_.assign(1, nullptr);
    nodesByKey_.clear();
    LastAddedNode = nullptr;
}

QTreeWidgetItem* Form_Main::AddNode(const std::string& key, const std::string& parentKey,
                                    const QString& text, const QString& tag, bool isGroup) {
    QTreeWidgetItem* parent = parentKey.empty() ? nullptr : NodeWithKey(parentKey);
    if ((!parentKey.empty() && parent == nullptr) || NodeWithKey(key) != nullptr) {
        return nullptr;
    }
    const QSignalBlocker quiet(TreeView1);
    auto* node = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(TreeView1);
    node->setText(0, text);
    node->setIcon(0, style()->standardIcon(isGroup ? QStyle::SP_DirIcon : QStyle::SP_FileIcon));
    node->setData(0, kTagRole, tag);
    node->setData(0, kKeyRole, QString::fromStdString(key));
    node->setData(0, kIndexRole, static_cast<int>(nodesByIndex_.size()));
    if (isGroup) {
        QFont bold = TreeView1->font();
        bold.setBold(true);
        node->setFont(0, bold);
    }
    nodesByIndex_.push_back(node);
    nodesByKey_.insert(QString::fromStdString(key), node);
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
        nodesByKey_.remove(current->data(0, kKeyRole).toString());
        nodesByIndex_[static_cast<std::size_t>(NodeIndex(current))] = nullptr;
    }
    if (LastAddedNode == node) {
        LastAddedNode = nullptr;
    }
    delete node;
}

void Form_Main::LoadPasswordList() {
    RecordCount = ReadRecordCount(Store);
    ClearTree();
    if (RecordCount < 1) {
        return;
    }
    const std::vector<PlannedNode> plan = PlanTree(ReadTreeRecords(Store, DataKey, RecordCount));
    nodesByIndex_.reserve(plan.size() + 1);
    nodesByKey_.reserve(static_cast<qsizetype>(plan.size()));
    for (const PlannedNode& planned : plan) {
        const QString text = planned.isDefaultGroup ? Message(2) : FromCp1252(planned.text);
        AddNode(planned.key, planned.parentKey, text, QString::fromStdString(planned.Tag()),
                planned.isGroup);
    }
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

void Form_Main::TreeView1_NodeClick(QTreeWidgetItem* node) {
    if (node == nullptr) {
        return;
    }
    if (!CompletePendingMove(node)) {
        SelectedIndex = -1;
        SelectedTag = -2;
        ParentTag = -2;
        SelectedText.clear();
        SelectedKey.clear();
        ParentKey.clear();

        QTreeWidgetItem* parent = node->parent();
        SelectedTag = static_cast<int>(RoundHalfEven(Val(NodeTag(node).toStdString())));
        if (parent != nullptr) {
            ParentTag = static_cast<int>(RoundHalfEven(Val(NodeTag(parent).toStdString())));
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
    }
    DisplayPWType();
    ClearPendingMove();
}

// Moving nodes by dragging is not built yet: no move is ever pending.
bool Form_Main::CompletePendingMove(QTreeWidgetItem* /*target*/) { return false; }

void Form_Main::ClearPendingMove() {}

}  // namespace keyrack
