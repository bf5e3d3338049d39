// Creating a group from the toolbar.
#include <QTreeWidget>

#include "app/Form_Main.h"
#include "common/Cp1252.h"
#include "common/Strings.h"
#include "lang/Messages.h"
#include "store/EntryRecord.h"
#include "store/ValueCipher.h"
#include "tree/NodeKeys.h"

namespace keyrack {

namespace {

constexpr int kNamePrompt = 49;
constexpr int kInsideQuestion = 50;

}  // namespace

void Form_Main::AddGroup() {
    const QString typed = services_.prompter.InputBox(this, Message(kNamePrompt), windowTitle());
    const auto name = ToCp1252(typed);
    if (name && IsBlank(*name)) {
        return;
    }
    if (!name || !StoresIntact(Trim(*name), DataKey, FieldWidth(8))) {
        ReportUnstorableValue(Message(kNamePrompt));
        return;
    }

    const auto askInside = [this] {
        return services_.prompter.MessageBox(this, Message(kInsideQuestion),
                                             platform::Prompter::Buttons::YesNo,
                                             windowTitle()) == platform::Prompter::Answer::Yes;
    };
    std::string parent;
    if (!ParentKey.empty() && SelectedTag != -1) {
        parent = ParentKey;
    } else if (!ParentKey.empty()) {
        parent = askInside() ? SelectedKey : ParentKey;
    } else if (!SelectedKey.empty() && SelectedTag == -1) {
        parent = askInside() ? SelectedKey : std::string();
    } else if (!SelectedKey.empty()) {
        return;
    }

    // The count goes up before the node is added, so that a failure leaves no node behind.
    const int record = AllocateTreeRecord();
    if (record == 0) {
        return;
    }
    QTreeWidgetItem* node = AddNode(RecordKey(record), parent, typed, "-1", true);
    if (node == nullptr) {
        return;
    }
    LastAddedNode = node;
    KeepShownWhileSearching(NodeKey(node));
    if (node->parent() != nullptr) {
        node->parent()->setExpanded(true);
    }
    if (!Store.WriteRecord(GroupRecordFields(*name, record, parent, DataKey, services_.random),
                           record, DataFilePath, false)) {
        RemoveNode(node);
        ReportWriteFailure();
    }
}

}  // namespace keyrack
