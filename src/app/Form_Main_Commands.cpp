// Command dispatch from the toolbar and the edit modes of the main window.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>

#include "app/Form_Main.h"

namespace keyrack {

namespace {
// Buttons that are locked while a mode is active, and unlocked when it ends.
constexpr int kBrowsingButtons[] = {2, 4, 5, 6, 14, 16, 17};
}  // namespace

void Form_Main::Toolbar1_ButtonClick(int index) {
    if (index < 1 || index > 17 || !Toolbar1Buttons[index]->isEnabled()) {
        return;
    }
    switch (index) {
        case 2:
            MNU_Exit_Click();
            break;
        case 4:
            NewEntry();
            break;
        case 5:
            EditEntry();
            break;
        case 6:
            DeleteEntry();
            break;
        case 7:
            CancelEdit();
            break;
        case 8:
            SaveEntry();
            break;
        case 11:
            AddGroup();
            break;
        case 14:
            OpenAddress();
            break;
        case 16:
            CopyUserName();
            break;
        case 17:
            CopyPassword();
            break;
        default:
            break;  // separators
    }
}

void Form_Main::ClearBoxes() {
    Text1->clear();
    Text2->clear();
    Text3->clear();
    Text4->clear();
}

void Form_Main::SetBoxesEnabled(bool enabled) {
    for (QWidget* box : std::initializer_list<QWidget*>{Text1, Text2, Text3, Text4}) {
        box->setEnabled(enabled);
    }
}

void Form_Main::EnterMode(const std::string& mode) {
    EditMode = mode;
    const bool typing = mode != "DELETE";
    if (mode != "EDIT") {
        ClearBoxes();
    }
    MNU_File->setEnabled(false);
    MNU_File->menuAction()->setEnabled(false);
    TreeView1->setEnabled(false);
    txtSearch->setEnabled(false);
    for (int index : kBrowsingButtons) {
        Toolbar1Buttons[index]->setEnabled(false);
    }
    Command6->setVisible(typing);
    Toolbar1Buttons[8]->setEnabled(true);
    Command8->setVisible(typing);
    Toolbar1Buttons[7]->setEnabled(true);
    Toolbar1Buttons[11]->setEnabled(false);
    SetBoxesEnabled(typing);
    ShowPasswordForMode();
    if (typing) {
        Text1->setFocus();
    }
}

void Form_Main::NewEntry() {
    EnterMode("NEW");
}

void Form_Main::EditEntry() {
    EnterMode("EDIT");
}

void Form_Main::DeleteEntry() {
    EnterMode("DELETE");
}

void Form_Main::ReturnToBrowsing() {
    EditMode.clear();
    MNU_File->setEnabled(true);
    MNU_File->menuAction()->setEnabled(true);
    TreeView1->setEnabled(true);
    txtSearch->setEnabled(true);
    Toolbar1Buttons[2]->setEnabled(true);
    Toolbar1Buttons[4]->setEnabled(true);
    Toolbar1Buttons[8]->setEnabled(false);
    Toolbar1Buttons[7]->setEnabled(false);
    Toolbar1Buttons[11]->setEnabled(true);
    Command6->setVisible(false);
    Command8->setVisible(false);
    ShowPasswordForMode();
}

void Form_Main::CancelEdit() {
    ReturnToBrowsing();
    QTreeWidgetItem* shown = NodeAt(SelectedIndex);
    if (shown != nullptr) {
        ShowNode(shown);
    } else {
        // Nothing to show again: the boxes stay empty, so the entry commands have no entry.
        ClearBoxes();
        SetEntryButtonsEnabled(false);
    }
    TreeView1->setFocus();
    SetBoxesEnabled(false);
}

std::string Form_Main::NewEntryParentKey() const {
    return SelectedTag >= 0 ? ParentKey : SelectedKey;
}

}  // namespace keyrack
