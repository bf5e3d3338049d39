// Editing the entry tree in place: moving nodes by dragging, renaming a group in its label and
// deleting an empty group. Each change writes one record, then one node.
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <utility>
#include <vector>

#include "tree/TreePane.h"

#include "common/Notices.h"
#include "common/Session.h"
#include "common/StatusMessages.h"
#include "common/Strings.h"
#include "common/Twips.h"
#include "lang/Messages.h"
#include "store/DataFileSync.h"
#include "store/EntryRecord.h"
#include "store/RecordStore.h"
#include "store/ValueCodec.h"
#include "store/ValueText.h"
#include "tree/EntryTree.h"
#include "tree/NodeKeys.h"
#include "tree/NodePlace.h"

namespace keyrack {

namespace {

constexpr int kGroupLabel = 48;
constexpr int kGroupNotEmpty = 52;

bool IsGroupNode(const QTreeWidgetItem* node) {
    return Val(TreePane::NodeTag(node)) < 0;
}

// The default group's name may be given to another node, which then stays where it is too.
bool NamedLikeDefaultGroup(const QTreeWidgetItem* node) {
    return node->text(0).trimmed().toUpper() == Message(2).trimmed().toUpper();
}

// Whether every node of the subtree is shown where its record puts it; past the limit a load
// raises them, and only a load can tell where to.
bool SubtreeWithinDepthLimit(const QTreeWidgetItem* root) {
    int depth = 0;
    for (const QTreeWidgetItem* up = root; up != nullptr; up = up->parent()) {
        ++depth;
    }
    std::vector<std::pair<const QTreeWidgetItem*, int>> pending = {{root, depth}};
    while (!pending.empty()) {
        const auto [node, at] = pending.back();
        pending.pop_back();
        if (!WithinDepthLimit(IsGroupNode(node), at)) {
            return false;
        }
        for (int i = 0; i < node->childCount(); ++i) {
            pending.emplace_back(node->child(i), at + 1);
        }
    }
    return true;
}

}  // namespace

void TreePane::ConnectTreeEdits() {
    EntryTree& tree = *TreeView1;
    tree.hooks.pickUp = [this](QTreeWidgetItem* node) { return PickUp(node); };
    tree.hooks.mayDrop = [this](const std::string& key, QTreeWidgetItem* target) {
        return DecideDropOn(NodeWithKey(key), target).outcome == DropOutcome::Move;
    };
    tree.hooks.drop = [this](const std::string& key, QTreeWidgetItem* target) {
        TreeView1_DragDrop(key, target);
    };
    tree.hooks.dragOver = [this](const QPoint& position) { TreeView1_DragOver(position); };
    tree.hooks.dragEnded = [this] {
        scrollDirection_ = DragScroll::None;
        Timer2->stop();
    };
    tree.hooks.clickedAgain = [this](QTreeWidgetItem* node) { TreeView1_NodeClick(node); };
    tree.hooks.labelEdited = [this](QTreeWidgetItem* node, const QString& text) {
        TreeView1_AfterLabelEdit(node, text);
    };
    tree.hooks.keyUp = [this](int key) { TreeView1_KeyUp(key); };
    sync_.WaitWhile([this] { return TreeView1->EditingLabel(); });
    connect(Timer2, &QTimer::timeout, this, &TreePane::Timer2_Timer);
}

TreeNodeInfo TreePane::NodeInfo(const QTreeWidgetItem* node) const {
    return {NodeKey(node), IsGroupNode(node), NodeKey(node->parent())};
}

std::string TreePane::PickUp(QTreeWidgetItem* node) {
    if (node == nullptr || !session_.EditMode.empty()) {
        return {};
    }
    const TreeNodeInfo info = NodeInfo(node);
    const int record = info.isGroup ? GroupRecordOf(store_, info.key, session_.DataKey) : 0;
    return MayPickUp(info, NamedLikeDefaultGroup(node), record) ? info.key : std::string();
}

DropDecision TreePane::DecideDropOn(QTreeWidgetItem* dragged, QTreeWidgetItem* target) {
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

void TreePane::TreeView1_DragDrop(const std::string& draggedKey, QTreeWidgetItem* target) {
    scrollDirection_ = DragScroll::None;
    Timer2->stop();
    QTreeWidgetItem* dragged = NodeWithKey(draggedKey);
    if (dragged == nullptr || !session_.EditMode.empty()) {
        return;
    }
    const DropDecision decision = DecideDropOn(dragged, target);
    if (decision.outcome == DropOutcome::Move && WriteMove(dragged, decision.newParentKey)) {
        MoveNode(dragged, NodeWithKey(decision.newParentKey));
        DropEmptyDefaultGroup();
        if (!SubtreeWithinDepthLimit(dragged)) {
            LoadKeepingView();
        }
        emit reported(Message(kMessageNodeMoved).arg(dragged->text(0)));
    }
    // Taking a change from disk builds the tree anew.
    if (QTreeWidgetItem* shown = NodeWithKey(draggedKey)) {
        ShowWorkedOn(shown);
    }
}

bool TreePane::WriteMove(QTreeWidgetItem* node, const std::string& newParentKey) {
    if (IsGroupNode(node)) {
        const int record = GroupRecordOf(store_, NodeKey(node), session_.DataKey);
        if (record == 0) {
            notices_.WriteFailed();
            return false;
        }
        return sync_.Write(
                   MovedGroupFields(store_, record, newParentKey, session_.DataKey, random_),
                   record, PendingWrite::Mode::Replace) == DataFileSync::WriteResult::Written;
    }
    const int record = static_cast<int>(RoundHalfEven(Val(NodeTag(node))));
    const std::string text = TypedText(store_.Kind(), node->text(0)).value_or(std::string());
    return sync_.Write(MovedEntryFields(store_, record, text, NodeKey(node), newParentKey,
                                        session_.DataKey, random_),
                       record) == DataFileSync::WriteResult::Written;
}

void TreePane::MoveNode(QTreeWidgetItem* node, QTreeWidgetItem* newParent) {
    PlaceNode(node, newParent);
    if (newParent != nullptr) {
        const QSignalBlocker quiet(TreeView1);
        newParent->setExpanded(true);
    }
}

void TreePane::TreeView1_DragOver(const QPoint& position) {
    const QWidget& area = *TreeView1->viewport();
    scrollDirection_ = DragScrollDirection(
        PixelsToTwipsX(position.x(), area), PixelsToTwipsY(position.y(), area),
        PixelsToTwipsX(area.width(), area), PixelsToTwipsY(area.height(), area));
    if (scrollDirection_ == DragScroll::None) {
        Timer2->stop();
    } else if (!Timer2->isActive()) {
        Timer2->start();
    }
}

void TreePane::Timer2_Timer() {
    switch (scrollDirection_) {
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

void TreePane::TreeView1_AfterLabelEdit(QTreeWidgetItem* node, const QString& newString) {
    // Only the shown group is renamed; anything else keeps its label.
    if (node == nullptr || session_.SelectedTag != -1 ||
        NodeIndex(node) != session_.SelectedIndex || NodeKey(node) == DefaultGroupKey) {
        return;
    }
    const auto name = TypedText(store_.Kind(), newString);
    if (name && IsBlank(*name)) {
        return;
    }
    if (!name || !FitsWidth(store_.Kind(), Trim(*name), session_.DataKey, FieldWidth(8))) {
        notices_.CannotStore(Message(kGroupLabel), store_.Kind() == FileKind::Protected);
        return;
    }
    const int record = GroupRecordOf(store_, NodeKey(node), session_.DataKey);
    if (record == 0) {
        return;
    }
    const FieldValues fields = GroupRecordFields(
        store_.Kind(), *name, record, NodeKey(node->parent()), session_.DataKey, random_);
    if (sync_.Write(fields, record) != DataFileSync::WriteResult::Written) {
        return;
    }
    node->setText(0, ShownText(store_.Kind(), Trim(*name)));
    search_.ForgetTexts(NodeIndex(node));
    session_.SelectedText = Trim(*name);
    // The label's editor is still closing on the node: it takes its new place afterwards.
    QTimer::singleShot(0, this, [this, key = NodeKey(node)] {
        if (QTreeWidgetItem* renamed = NodeWithKey(key)) {
            PlaceNode(renamed, renamed->parent());
            ShowWorkedOn(renamed);
        }
    });
}

void TreePane::TreeView1_KeyUp(int keyCode) {
    if (keyCode == Qt::Key_Delete) {
        DeleteShownGroup();
    }
}

void TreePane::RenameShownGroup() {
    QTreeWidgetItem* group = NodeAt(session_.SelectedIndex);
    if (group != nullptr && session_.SelectedTag == -1 && (group->flags() & Qt::ItemIsEditable)) {
        TreeView1->editItem(group);
    }
}

void TreePane::DeleteShownGroup() {
    if (session_.SelectedTag != -1 || !session_.EditMode.empty()) {
        return;
    }
    QTreeWidgetItem* group = NodeAt(session_.SelectedIndex);
    const int record =
        group != nullptr ? GroupRecordOf(store_, NodeKey(group), session_.DataKey) : 0;
    if (record == 0) {
        return;  // the default group stays
    }
    if (group->childCount() > 0) {
        notices_.Show(Message(kGroupNotEmpty), Notices::Kind::Warning);
        return;
    }
    const QString name = group->text(0);
    if (!notices_.Confirm(Message(kMessageDeleteGroupQuestion).arg(name))) {
        return;
    }
    if (sync_.Write(FieldValues{}, record, PendingWrite::Mode::Clear) !=
        DataFileSync::WriteResult::Written) {
        return;
    }
    RemoveNode(group);
    emit reported(Message(kMessageNodeDeleted).arg(name));
    if (QTreeWidgetItem* next = TreeView1->currentItem()) {
        ShowWorkedOn(next);
        return;
    }
    ShowNothing();
}

}  // namespace keyrack
