// Saving what the edit mode holds: a new, changed or deleted entry.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "app/Form_Main.h"
#include "common/Cp1252.h"
#include "common/Strings.h"
#include "lang/Messages.h"
#include "store/EntryRecord.h"
#include "tree/NodeKeys.h"

namespace keyrack {

void Form_Main::SaveEntry() {
    if (EditMode == "NEW" || EditMode == "EDIT") {
        // Saving straight from the title box (by keyboard) leaves it without losing the focus.
        Text1_LostFocus();
        struct Box {
            EntryBox which;
            QWidget* control;
            QLabel* label;
            QString text;
        };
        const Box boxes[] = {{EntryBox::Title, Text1, Label1, Text1->toPlainText()},
                             {EntryBox::Address, Text2, Label2, Text2->text()},
                             {EntryBox::UserName, Text4, Label4, Text4->text()},
                             {EntryBox::Password, Text3, Label3, Text3->text()}};
        const auto refuse = [this](const Box& box) {
            ReportUnstorableValue(box.label->text());
            box.control->setFocus();
        };
        std::string bytes[4];
        for (int i = 0; i < 4; ++i) {
            const auto converted = ToCp1252(boxes[i].text);
            if (!converted) {
                refuse(boxes[i]);
                return;
            }
            bytes[i] = *converted;
        }
        const EntryValues values{
            bytes[0], bytes[1], bytes[2], bytes[3], {pw_Type, pw_Case, pw_NumChar}};
        if (IsBlankOrLineBreaks(values.title)) {
            // Without a title the record would read back as a group named after a key.
            ShowMessage(Message(kMessageTitleNeeded));
            Text1->setFocus();
            return;
        }
        if (const auto failing = FirstUnstorableBox(values, DataKey)) {
            refuse(boxes[static_cast<int>(*failing)]);
            return;
        }
        if (EditMode == "NEW") {
            const int record = AllocateTreeRecord();
            if (record == 0) {
                return;
            }
            KeepShownWhileSearching(RecordKey(record));
            const std::string parent = NewEntryParentKey();
            if (!Store.WriteRecord(
                    EntryRecordFields(values, parent, record, parent, DataKey, services_.random),
                    record, DataFilePath, false)) {
                ReportWriteFailure();
                return;
            }
        } else if (!Store.ReplaceRecord(EntryRecordFields(values, SelectedKey, SelectedTag,
                                                          ParentKey, DataKey, services_.random),
                                        SelectedTag, DataFilePath)) {
            // Replacing, not overwriting only non-blank fields: a box the user emptied
            // empties its field.
            ReportWriteFailure();
            return;
        }
    } else if (EditMode == "DELETE") {
        if (!Store.WriteRecord(FieldValues{}, SelectedTag, DataFilePath, true)) {
            ReportWriteFailure();
            return;
        }
    }

    LoadPasswordList();
    ReturnToBrowsing();
    SetEntryButtonsEnabled(SelectedTag >= 1);
    SetBoxesEnabled(false);
}

}  // namespace keyrack
