#pragma once

#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QMenuBar;
class QPoint;

namespace keyrack {

class MainToolbar;
class TreePane;
struct Session;

// The Entry menu: the toolbar's entry commands, the same actions, with their keys; and the
// tree's context menu with the commands that apply to the node under the pointer.
class EntryMenu : public QObject {
    Q_OBJECT

  public:
    // The menu goes right after fileMenu.
    EntryMenu(QMenuBar& menuBar, const QMenu& fileMenu, MainToolbar& toolbar, TreePane& tree,
              const Session& session);

    // After the toolbar's captions: the menu's texts and every command's tooltip with its key.
    void ApplyCaptions();
    // The commands of the shown node's context menu.
    QList<QAction*> NodeCommands() const;

  private:
    void ShowNodeMenu(const QPoint& position);

    MainToolbar& toolbar_;
    TreePane& tree_;
    const Session& session_;
    QMenu* MNU_Entry = nullptr;
    QMenu* nodeMenu_ = nullptr;
    QAction* renameGroup_ = nullptr;
    QAction* deleteGroup_ = nullptr;
};

}  // namespace keyrack
