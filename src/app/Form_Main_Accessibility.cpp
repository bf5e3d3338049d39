// Names a screen reader announces for the main window's controls, in the current language.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QTreeWidget>

#include "app/Form_Main.h"
#include "lang/Messages.h"

namespace keyrack {

void Form_Main::ApplyAccessibleNames() {
    TreeView1->setAccessibleName(Message(14));
    const std::pair<QLabel*, QWidget*> boxes[] = {
        {Label1, Text1}, {Label2, Text2}, {Label4, Text4}, {Label3, Text3}};
    for (const auto& [label, box] : boxes) {
        label->setBuddy(box);
        box->setAccessibleName(label->text());
    }
    // A tool button announces its own caption only while the caption is shown under the icon.
    for (QAction* button : Toolbar1Buttons) {
        if (button == nullptr || button->isSeparator()) {
            continue;
        }
        if (QWidget* widget = Toolbar1->widgetForAction(button)) {
            widget->setAccessibleName(button->text());
        }
    }
}

}  // namespace keyrack
