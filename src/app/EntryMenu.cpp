#include "app/EntryMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTreeWidget>

#include "app/MainToolbar.h"
#include "common/Session.h"
#include "common/StatusMessages.h"
#include "lang/Messages.h"
#include "tree/NodeKeys.h"
#include "tree/TreePane.h"

namespace keyrack {

namespace {

constexpr int kDeleteCaption = 30;

// An entry command: its toolbar button, its key, whether the key works only while the tree
// has the focus (Delete and Ctrl+C keep their meaning in the boxes), and its menu text when
// the toolbar's caption is too short to name the command.
struct EntryCommand {
    MainToolbar::Button button;
    QKeyCombination key;
    bool inTreeOnly;
    int menuText;
};

const EntryCommand kCommands[] = {
    {MainToolbar::New, Qt::CTRL | Qt::Key_N, false, 0},
    {MainToolbar::Edit, Qt::CTRL | Qt::Key_E, false, 0},
    {MainToolbar::Delete, QKeyCombination(Qt::Key_Delete), true, 0},
    {MainToolbar::Save, Qt::CTRL | Qt::Key_S, false, 0},
    {MainToolbar::Cancel, QKeyCombination(Qt::Key_Escape), false, 0},
    {MainToolbar::AddGroup, Qt::CTRL | Qt::Key_G, false, kMessageNewGroupCommand},
    {MainToolbar::Open, Qt::CTRL | Qt::Key_U, false, kMessageOpenAddressCommand},
    {MainToolbar::CopyUserName, Qt::CTRL | Qt::Key_B, false, kMessageCopyUserNameCommand},
    {MainToolbar::CopyPassword, Qt::CTRL | Qt::Key_C, true, kMessageCopyPasswordCommand},
};

}  // namespace

EntryMenu::EntryMenu(QMenuBar& menuBar, const QMenu& fileMenu, MainToolbar& toolbar, TreePane& tree,
                     const Session& session)
    : QObject(&menuBar), toolbar_(toolbar), tree_(tree), session_(session) {
    MNU_Entry = new QMenu(QStringLiteral("Entry"), &menuBar);
    MNU_Entry->setObjectName(QStringLiteral("MNU_Entry"));
    const QList<QAction*> bar = menuBar.actions();
    menuBar.insertMenu(bar.value(bar.indexOf(fileMenu.menuAction()) + 1), MNU_Entry);
    QTreeWidget* view = tree.view();
    for (const EntryCommand& command : kCommands) {
        QAction* action = toolbar.button(command.button);
        action->setShortcut(command.key);
        if (command.inTreeOnly) {
            action->setShortcutContext(Qt::WidgetShortcut);
            view->addAction(action);
        }
        MNU_Entry->addAction(action);
        if (command.button == MainToolbar::Cancel || command.button == MainToolbar::AddGroup) {
            MNU_Entry->addSeparator();
        }
    }

    renameGroup_ = new QAction(this);
    renameGroup_->setObjectName(QStringLiteral("MNU_RenameGroup"));
    connect(renameGroup_, &QAction::triggered, &tree, &TreePane::RenameShownGroup);
    deleteGroup_ = new QAction(this);
    deleteGroup_->setObjectName(QStringLiteral("MNU_DeleteGroup"));
    connect(deleteGroup_, &QAction::triggered, &tree, &TreePane::DeleteShownGroup);
    nodeMenu_ = new QMenu(view);
    nodeMenu_->setObjectName(QStringLiteral("TreeContextMenu"));
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, &EntryMenu::ShowNodeMenu);
    // Enter or a double-click on an entry edits it; on a group they keep their own meaning.
    connect(view, &QTreeWidget::itemActivated, this, [this] {
        if (session_.SelectedTag >= 1) {
            toolbar_.button(MainToolbar::Edit)->trigger();
        }
    });
}

void EntryMenu::ApplyCaptions() {
    MNU_Entry->setTitle(Message(kMessageMenuEntry));
    const QString name = QString(MNU_Entry->title()).remove(QLatin1Char('&'));
    MNU_Entry->setAccessibleName(name);
    nodeMenu_->setAccessibleName(name);
    for (const EntryCommand& command : kCommands) {
        QAction* action = toolbar_.button(command.button);
        if (command.menuText != 0) {
            // The toolbar keeps its short caption; the menu names the command in full.
            action->setIconText(action->text());
            action->setText(Message(command.menuText));
        }
        action->setToolTip(QStringLiteral("%1 (%2)").arg(
            action->text(), action->shortcut().toString(QKeySequence::NativeText)));
    }
    renameGroup_->setText(Message(kMessageRenameCommand));
    deleteGroup_->setText(Message(kDeleteCaption));
}

QList<QAction*> EntryMenu::NodeCommands() const {
    const auto button = [this](int index) { return toolbar_.button(index); };
    if (session_.SelectedTag >= 1) {
        return {button(MainToolbar::Edit), button(MainToolbar::Delete),
                button(MainToolbar::CopyUserName), button(MainToolbar::CopyPassword),
                button(MainToolbar::Open)};
    }
    if (session_.SelectedTag != -1) {
        return {};
    }
    QList<QAction*> commands = {button(MainToolbar::New), button(MainToolbar::AddGroup)};
    // The default group keeps its name and its place.
    if (session_.SelectedKey != DefaultGroupKey) {
        commands << renameGroup_ << deleteGroup_;
    }
    return commands;
}

void EntryMenu::ShowNodeMenu(const QPoint& position) {
    QTreeWidget* view = tree_.view();
    QTreeWidgetItem* node = view->itemAt(position);
    if (node == nullptr) {
        return;
    }
    view->setCurrentItem(node);
    nodeMenu_->clear();
    nodeMenu_->addActions(NodeCommands());
    if (!nodeMenu_->isEmpty()) {
        nodeMenu_->popup(view->viewport()->mapToGlobal(position));
    }
}

}  // namespace keyrack
