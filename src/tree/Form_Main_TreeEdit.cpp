// Editing the entry tree in place: moving nodes by dragging, renaming a group in its label and
// deleting an empty group with the Delete key. Each change writes one record, then one node.
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>

#include "app/Form_Main.h"
#include "common/Cp1252.h"
#include "common/Strings.h"
#include "common/Twips.h"
#include "lang/Messages.h"
#include "store/EntryRecord.h"
#include "store/ValueCipher.h"
#include "tree/EntryTree.h"
#include "tree/NodeKeys.h"

namespace keyrack {

namespace {

constexpr int kGroupLabel = 48;
constexpr int kDeleteQuestion = 51;
constexpr int kGroupNotEmpty = 52;

bool IsGroupNode(const QTreeWidgetItem* node) {
    return Val(Form_Main::NodeTag(node)) < 0;
}

// The default group's name may be given to another node, which then stays where it is too.
bool NamedLikeDefaultGroup(const QTreeWidgetItem* node) {
    return node->text(0).trimmed().toUpper() == Message(2).trimmed().toUpper();
}

}  // namespace

void Form_Main::ConnectTreeEdits(EntryTree& tree) {
    tree.hooks.pickUp = [this](QTreeWidgetItem* node) { return PickUp(node); };
    tree.hooks.mayDrop = [this](const std::string& key, QTreeWidgetItem* target) {
        return TreeView1_MayDrop(key, target);
    };
    tree.hooks.drop = [this](const std::string& key, QTreeWidgetItem* target) {
        TreeView1_DragDrop(key, target);
    };
    tree.hooks.dragOver = [this](const QPoint& position) { TreeView1_DragOver(position); };
    tree.hooks.dragEnded = [this] {
        ScrollDirection = DragScroll::None;
        Timer2->stop();
    };
    tree.hooks.clickedAgain = [this](QTreeWidgetItem* node) { TreeView1_NodeClick(node); };
    tree.hooks.labelEdited = [this](QTreeWidgetItem* node, const QString& text) {
        TreeView1_AfterLabelEdit(node, text);
    };
    tree.hooks.keyUp = [this](int key) { TreeView1_KeyUp(key); };
    connect(Timer2, &QTimer::timeout, this, &Form_Main::Timer2_Timer);
}

TreeNodeInfo Form_Main::NodeInfo(const QTreeWidgetItem* node) const {
    return {NodeKey(node), IsGroupNode(node), NodeKey(node->parent())};
}

std::string Form_Main::PickUp(QTreeWidgetItem* node) {
    if (node == nullptr || !EditMode.empty()) {
        return {};
    }
    const TreeNodeInfo info = NodeInfo(node);
    const int record = info.isGroup ? GroupRecordOf(Store, info.key, DataKey) : 0;
    return MayPickUp(info, NamedLikeDefaultGroup(node), record) ? info.key : std::string();
}

DropDecision Form_Main::DecideDropOn(QTreeWidgetItem* dragged, QTreeWidgetItem* target) {
    if (PickUp(dragged).empty()) {
        return {DropOutcome::Refused, ""};
    }
    DropTarget where;
    if (target != nullptr) {
        where.onNode = true;
        where.node = NodeInfo(target);
        for (const QTreeWidgetItem* up = target->parent(); up != nullptr; up = up->parent()) {
            where.ancestorKeys.push_back(NodeKey(up));
        }
    }
    return DecideDrop(NodeInfo(dragged), where);
}

bool Form_Main::TreeView1_MayDrop(const std::string& draggedKey, QTreeWidgetItem* target) {
    return DecideDropOn(NodeWithKey(draggedKey), target).outcome == DropOutcome::Move;
}

void Form_Main::TreeView1_DragDrop(const std::string& draggedKey, QTreeWidgetItem* target) {
    ScrollDirection = DragScroll::None;
    Timer2->stop();
    QTreeWidgetItem* dragged = NodeWithKey(draggedKey);
    if (dragged == nullptr || !EditMode.empty()) {
        return;
    }
    const DropDecision decision = DecideDropOn(dragged, target);
    if (decision.outcome == DropOutcome::Move && WriteMove(dragged, decision.newParentKey)) {
        MoveNode(dragged, NodeWithKey(decision.newParentKey));
    }
    ShowNode(dragged);
}

bool Form_Main::WriteMove(QTreeWidgetItem* node, const std::string& newParentKey) {
    bool written = false;
    if (IsGroupNode(node)) {
        const int record = GroupRecordOf(Store, NodeKey(node), DataKey);
        written = record > 0 && Store.ReplaceRecord(MovedGroupFields(Store, record, newParentKey,
                                                                     DataKey, services_.random),
                                                    record, DataFilePath);
    } else {
        const int record = static_cast<int>(RoundHalfEven(Val(NodeTag(node))));
        const std::string text = ToCp1252(node->text(0)).value_or(std::string());
        written = Store.WriteRecord(MovedEntryFields(Store, record, text, NodeKey(node),
                                                     newParentKey, DataKey, services_.random),
                                    record, DataFilePath, false);
    }
    if (!written) {
        ReportWriteFailure();
    }
    return written;
}

void Form_Main::MoveNode(QTreeWidgetItem* node, QTreeWidgetItem* newParent) {
    const QSignalBlocker quiet(TreeView1);
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
    } else {
        TreeView1->takeTopLevelItem(TreeView1->indexOfTopLevelItem(node));
    }
    if (newParent == nullptr) {
        TreeView1->addTopLevelItem(node);
    } else {
        // Groups come before entries, as loading puts them.
        int at = newParent->childCount();
        if (IsGroupNode(node)) {
            at = 0;
            while (at < newParent->childCount() && IsGroupNode(newParent->child(at))) {
                ++at;
            }
        }
        newParent->insertChild(at, node);
        newParent->setExpanded(true);
    }
    for (QTreeWidgetItem* opened : open) {
        opened->setExpanded(true);
    }
}

void Form_Main::TreeView1_DragOver(const QPoint& position) {
    const QWidget& area = *TreeView1->viewport();
    ScrollDirection = DragScrollDirection(
        PixelsToTwipsX(position.x(), area), PixelsToTwipsY(position.y(), area),
        PixelsToTwipsX(area.width(), area), PixelsToTwipsY(area.height(), area));
    if (ScrollDirection == DragScroll::None) {
        Timer2->stop();
    } else if (!Timer2->isActive()) {
        Timer2->start();
    }
}

void Form_Main::Timer2_Timer() {
    switch (ScrollDirection) {
        case DragScroll::Up:
            TreeView1->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
            break;
        case DragScroll::Down:
            TreeView1->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            break;
        case DragScroll::Left:
            TreeView1->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
            break;
        case DragScroll::Right:
            TreeView1->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            break;
        case DragScroll::None:
            break;
    }
}

void Form_Main::TreeView1_AfterLabelEdit(QTreeWidgetItem* node, const QString& newString) {
    // Only the shown group is renamed; anything else keeps its label.
    if (node == nullptr || SelectedTag != -1 || NodeIndex(node) != SelectedIndex ||
        NodeKey(node) == DefaultGroupKey) {
        return;
    }
    const auto name = ToCp1252(newString);
    if (name && IsBlank(*name)) {
        return;
    }
    if (!name || !StoresIntact(Trim(*name), DataKey, FieldWidth(8))) {
        ReportUnstorableValue(Message(kGroupLabel));
        return;
    }
    const int record = GroupRecordOf(Store, NodeKey(node), DataKey);
    if (record == 0) {
        return;
    }
    const FieldValues fields =
        GroupRecordFields(*name, record, NodeKey(node->parent()), DataKey, services_.random);
    if (!Store.WriteRecord(fields, record, DataFilePath, false)) {
        ReportWriteFailure();
        return;
    }
    node->setText(0, FromCp1252(Trim(*name)));
    SelectedText = node->text(0);
}

void Form_Main::TreeView1_KeyUp(int keyCode) {
    if (keyCode != Qt::Key_Delete || SelectedTag != -1 || !EditMode.empty()) {
        return;
    }
    QTreeWidgetItem* group = NodeAt(SelectedIndex);
    const int record = group != nullptr ? GroupRecordOf(Store, NodeKey(group), DataKey) : 0;
    if (record == 0) {
        return;  // the default group stays
    }
    if (group->childCount() > 0) {
        ShowMessage(Message(kGroupNotEmpty));
        return;
    }
    if (services_.prompter.MessageBox(this, Message(kDeleteQuestion),
                                      platform::Prompter::Buttons::YesNo,
                                      windowTitle()) != platform::Prompter::Answer::Yes) {
        return;
    }
    if (!Store.WriteRecord(FieldValues{}, record, DataFilePath, true)) {
        ReportWriteFailure();
        return;
    }
    RemoveNode(group);
    if (QTreeWidgetItem* next = TreeView1->currentItem()) {
        ShowNode(next);
        return;
    }
    ShowNothing();
}

}  // namespace keyrack
