#pragma once

#include <QTreeWidget>
#include <functional>
#include <string>

class QMimeData;

namespace keyrack {

// The tree of groups and entries with what the main window does in it: nodes are moved by
// dragging them with the left button, a group's label is edited in place, keys are passed on.
// The drag carries the node's key; every decision is left to the hooks.
class EntryTree : public QTreeWidget {
    Q_OBJECT

  public:
    struct Hooks {
        // The key a drag of node carries, or empty when node may not be picked up.
        std::function<std::string(QTreeWidgetItem* node)> pickUp;
        // Whether the dragged node would move when dropped on target (null: the empty area).
        std::function<bool(const std::string& key, QTreeWidgetItem* target)> mayDrop;
        std::function<void(const std::string& key, QTreeWidgetItem* target)> drop;
        // The pointer is over the tree during a drag; position in the viewport.
        std::function<void(const QPoint& position)> dragOver;
        // The drag left the tree, was dropped or was given up.
        std::function<void()> dragEnded;
        // A click on the node that was already the current one.
        std::function<void(QTreeWidgetItem* node)> clickedAgain;
        // The in-place editor of node closed with newText; the node's text is left to the hook.
        std::function<void(QTreeWidgetItem* node, const QString& newText)> labelEdited;
        std::function<void(int key)> keyUp;
    };

    static const QString MimeType;
    // What a drag of the node with key carries.
    QMimeData* NodeMimeData(const std::string& key) const;

    explicit EntryTree(QWidget* parent = nullptr);

    // A label's in-place editor is open: rebuilding the tree now would take the typed text away.
    bool EditingLabel() const { return state() == QAbstractItemView::EditingState; }

    Hooks hooks;

  protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

  private:
    class LabelDelegate;

    // Shows target as where the drop would land, without making it the current node.
    void HighlightDropTarget(QTreeWidgetItem* target);
    void EndDrag();
    QByteArray DragToken() const;
    // The key a drag from this tree carries; empty for anything else.
    std::string KeyIn(const QMimeData* mime) const;

    bool leftPress_ = false;
    bool pressOnCurrent_ = false;
};

}  // namespace keyrack
