#include "tree/EntryTree.h"

#include <QCoreApplication>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QStyledItemDelegate>

#include "lang/Messages.h"

namespace keyrack {

namespace {
constexpr int kGroupCaption = 48;
}  // namespace

// Hands the edited label to the tree's hook instead of writing it into the node.
class EntryTree::LabelDelegate : public QStyledItemDelegate {
  public:
    explicit LabelDelegate(EntryTree* tree) : QStyledItemDelegate(tree), tree_(tree) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor->setObjectName(QStringLiteral("TreeView1Label"));
        editor->setAccessibleName(Message(kGroupCaption));
        return editor;
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line == nullptr || !tree_->hooks.labelEdited) {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        tree_->hooks.labelEdited(tree_->itemFromIndex(index), line->text());
    }

  private:
    EntryTree* tree_;
};

const QString EntryTree::MimeType = QStringLiteral("application/x-keyrack-node-key");

QMimeData* EntryTree::NodeMimeData(const std::string& key) const {
    auto* mime = new QMimeData;
    mime->setData(MimeType, DragToken() + '\n' + QByteArray::fromStdString(key));
    return mime;
}

// Drags are told apart by the tree and the process they started in, so a node is only ever
// moved within its own tree.
QByteArray EntryTree::DragToken() const {
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
           QByteArray::number(reinterpret_cast<quintptr>(this));
}

std::string EntryTree::KeyIn(const QMimeData* mime) const {
    if (mime == nullptr || !mime->hasFormat(MimeType)) {
        return {};
    }
    const QByteArray data = mime->data(MimeType);
    const QByteArray token = DragToken() + '\n';
    return data.startsWith(token) ? data.mid(token.size()).toStdString() : std::string();
}

EntryTree::EntryTree(QWidget* parent) : QTreeWidget(parent) {
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setItemDelegate(new LabelDelegate(this));
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) {
        if (pressOnCurrent_ && hooks.clickedAgain) {
            hooks.clickedAgain(node);
        }
    });
}

void EntryTree::mousePressEvent(QMouseEvent* event) {
    leftPress_ = event->button() == Qt::LeftButton;
    QTreeWidgetItem* pressed = itemAt(event->position().toPoint());
    pressOnCurrent_ = pressed != nullptr && pressed == currentItem();
    QTreeWidget::mousePressEvent(event);
}

void EntryTree::startDrag(Qt::DropActions /*supportedActions*/) {
    QTreeWidgetItem* node = currentItem();
    if (!leftPress_ || node == nullptr || !hooks.pickUp) {
        return;
    }
    const std::string key = hooks.pickUp(node);
    if (key.empty()) {
        return;
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(NodeMimeData(key));
    drag->setPixmap(node->icon(0).pixmap(iconSize().isValid() ? iconSize() : QSize(16, 16)));
    drag->exec(Qt::MoveAction, Qt::MoveAction);
    EndDrag();
}

void EntryTree::dragEnterEvent(QDragEnterEvent* event) {
    if (!KeyIn(event->mimeData()).empty()) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void EntryTree::dragMoveEvent(QDragMoveEvent* event) {
    const std::string key = KeyIn(event->mimeData());
    if (key.empty()) {
        event->ignore();
        return;
    }
    const QPoint position = event->position().toPoint();
    if (hooks.dragOver) {
        hooks.dragOver(position);
    }
    QTreeWidgetItem* target = itemAt(position);
    if (target != nullptr && !target->isExpanded() && target->childCount() > 0) {
        target->setExpanded(true);
    }
    if (hooks.mayDrop && hooks.mayDrop(key, target)) {
        HighlightDropTarget(target);
        event->acceptProposedAction();
    } else {
        HighlightDropTarget(nullptr);
        event->ignore();
    }
}

void EntryTree::dragLeaveEvent(QDragLeaveEvent* event) {
    EndDrag();
    QTreeWidget::dragLeaveEvent(event);
}

void EntryTree::dropEvent(QDropEvent* event) {
    EndDrag();
    const std::string key = KeyIn(event->mimeData());
    if (key.empty()) {
        event->ignore();
        return;
    }
    // The node is moved here, not by the drag's end: the drag only reports what happened.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (hooks.drop) {
        hooks.drop(key, itemAt(event->position().toPoint()));
    }
}

void EntryTree::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat() && hooks.keyUp) {
        hooks.keyUp(event->key());
    }
    QTreeWidget::keyReleaseEvent(event);
}

void EntryTree::HighlightDropTarget(QTreeWidgetItem* target) {
    const QModelIndex index = target != nullptr ? indexFromItem(target) : currentIndex();
    selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
}

void EntryTree::EndDrag() {
    HighlightDropTarget(nullptr);
    if (hooks.dragEnded) {
        hooks.dragEnded();
    }
}

}  // namespace keyrack
