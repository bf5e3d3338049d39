#pragma once

#include <QFont>
#include <QIcon>
#include <QObject>
#include <QString>
#include <array>
#include <string>
#include <vector>

#include "tree/KeyTable.h"
#include "tree/NodeOrder.h"
#include "tree/SearchState.h"
#include "tree/TreeEdits.h"

class QLabel;
class QLineEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace keyrack {

class DataFileSync;
class EntryTree;
class Notices;
class RecordStore;
struct Session;
namespace platform {
class RandomSource;
}

// The tree of groups and entries with its search box: loading it from the records, showing the
// node the user picks (into the session's selection), moving nodes by dragging, renaming a
// group in place, deleting an empty group, adding a group, and filtering by the search text.
class TreePane : public QObject {
    Q_OBJECT

  public:
    // The tree goes into area, the search box into searchArea.
    TreePane(Session& session, RecordStore& store, DataFileSync& sync, Notices& notices,
             platform::RandomSource& random, QWidget* area, QWidget* searchArea);

    QTreeWidget* view() const;
    QLineEdit* searchBox() const { return txtSearch; }
    void ApplyCaptions();

    void LoadPasswordList();
    // Loads the tree again, keeping the shown node and the open groups where they still are.
    void LoadKeepingView();
    // After the entry record was written (previousKey: its node's key before, empty for a new
    // entry): changes only its node, as a full load would show it, and shows it.
    void ShowSavedEntry(int record, const std::string& previousKey);
    // After the entry with this key was deleted: removes its node and shows the one that took
    // its place.
    void RemoveDeletedEntry(const std::string& key);
    // While the window is locked the tree holds no node and the search box no text, so nothing
    // of them can be read; Reveal brings back the nodes, the open groups, the shown node and
    // the search text.
    void Conceal();
    void Reveal();
    // Shows the node the selection names again; false when it is gone.
    bool ShowSelectedAgain();
    // No node is shown.
    void ShowNothing();
    bool Empty() const { return NodeAt(1) == nullptr; }
    // The tree and the search box take no input while an edit is under way.
    void SetBrowsing(bool browsing);
    void StopDragScroll();

    // A free record for a new group or entry, with the record count one higher in memory and
    // in the file; 0, after telling the user, when the file is full or the count could not
    // be written.
    int AllocateTreeRecord();
    // Asks for a name and adds the group where the selection says.
    void AddGroup();
    // Keeps the node with this key visible until the search text changes.
    void KeepShownWhileSearching(const std::string& key);
    // Filters the tree by the search box's text now, instead of after the typing pause.
    void ApplySearchNow();
    // Deletes the shown group, when it is empty, after asking.
    void DeleteShownGroup();
    // Opens the shown group's name for editing; the default group keeps its name.
    void RenameShownGroup();

    // The node with the given index in the order nodes were added (from 1), or null.
    QTreeWidgetItem* NodeAt(int index) const;
    QTreeWidgetItem* NodeWithKey(const std::string& key) const;
    static std::string NodeTag(const QTreeWidgetItem* node);
    static std::string NodeKey(const QTreeWidgetItem* node);
    static int NodeIndex(const QTreeWidgetItem* node);

    // Handlers, by the names the program's parts use. A drop names the dragged node by its
    // key; target null is the empty area below the last node.
    void TreeView1_NodeClick(QTreeWidgetItem* node);
    void TreeView1_DragDrop(const std::string& draggedKey, QTreeWidgetItem* target);
    void TreeView1_DragOver(const QPoint& position);
    void TreeView1_AfterLabelEdit(QTreeWidgetItem* node, const QString& newString);
    void TreeView1_KeyUp(int keyCode);
    void Timer2_Timer();

  signals:
    // The session's selection changed: a node, or nothing, is shown.
    void nodeShown();
    // What a command did, for the status bar.
    void reported(const QString& text);

  private:
    void ConnectTreeEdits();
    void ClearTree();
    // Builds the nodes from the records; true when groups nested too deep were raised.
    bool BuildNodes();
    QTreeWidgetItem* MakeNode(const std::string& key, const QString& text, const std::string& tag,
                              bool isGroup);
    QTreeWidgetItem* AddNode(const std::string& key, const std::string& parentKey,
                             const QString& text, const std::string& tag, bool isGroup);
    void RemoveNode(QTreeWidgetItem* node);
    // The default group holds what has no group of its own: a load leaves it out once it
    // holds nothing and other groups are there.
    void DropEmptyDefaultGroup();
    // Puts node under parent (null: the top level) where the order wants it.
    void PlaceNode(QTreeWidgetItem* node, QTreeWidgetItem* parent);
    void ShowNode(QTreeWidgetItem* node);
    // Shows the node a command worked on: selected, with the groups above it open, in view.
    void ShowWorkedOn(QTreeWidgetItem* node);

    TreeNodeInfo NodeInfo(const QTreeWidgetItem* node) const;
    // The key a drag of node carries, empty when it may not be picked up.
    std::string PickUp(QTreeWidgetItem* node);
    DropDecision DecideDropOn(QTreeWidgetItem* dragged, QTreeWidgetItem* target);
    // Writes the node's record for its new parent; false when it was not written as asked
    // (the user was told why) or merged into a file loaded from disk: the node may be gone.
    bool WriteMove(QTreeWidgetItem* node, const std::string& newParentKey);
    void MoveNode(QTreeWidgetItem* node, QTreeWidgetItem* newParent);

    // Finding entries by typing (TreePaneSearch.cpp).
    void BuildSearchBox(QWidget* area, QWidget* searchArea);
    bool txtSearch_KeyPress(int key);
    void ApplySearch();
    void EndSearch();
    void TakeSearchTexts();
    std::vector<std::string> SearchTexts(const QTreeWidgetItem* node) const;

    Session& session_;
    RecordStore& store_;
    DataFileSync& sync_;
    Notices& notices_;
    platform::RandomSource& random_;
    EntryTree* TreeView1 = nullptr;
    QLineEdit* txtSearch = nullptr;
    // Says how to add the first entry while the tree has no nodes.
    QLabel* lblEmptyTree = nullptr;
    QTimer* Timer2 = nullptr;
    DragScroll scrollDirection_ = DragScroll::None;
    // The tree's pictures: [1] group, [2] entry.
    std::array<QIcon, 3> ImageList1;
    QFont boldFont_;
    NodeOrder order_;
    std::vector<QTreeWidgetItem*> nodesByIndex_;
    KeyTable<QTreeWidgetItem*> nodesByKey_;
    SearchState search_;
    struct Concealed {
        std::vector<std::string> openKeys;
        std::string shownKey;
        int scrolled = 0;
        QString searchText;
    } concealed_;
};

}  // namespace keyrack
