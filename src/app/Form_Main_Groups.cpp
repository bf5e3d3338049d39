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

constexpr int kHeaderRecord = 1;
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

    const int record = Store.FindFreeRecord(FirstTreeRecord);
    if (record > MaxRecordNumber || RecordCount >= MaxRecordNumber) {
        services_.prompter.MessageBox(this, Message(kMessageFileFull),
                                      platform::Prompter::Buttons::Ok, windowTitle());
        return;
    }
    const std::string key = RecordKey(record);
    QTreeWidgetItem* node = AddNode(key, parent, typed, "-1", true);
    if (node == nullptr) {
        return;
    }
    LastAddedNode = node;
    if (node->parent() != nullptr) {
        node->parent()->setExpanded(true);
    }

    FieldValues group;
    const auto encode = [this](int field, const std::string& value) {
        return EncodeValue(value, DataKey, true, FieldWidth(field), services_.random);
    };
    group[7] = encode(8, Trim(*name));
    group[8] = encode(9, StoredKeyForm(key));
    group[9] = encode(10, StoredKeyForm(parent));
    if (!Store.WriteRecord(RecordCountFields(RecordCount + 1), kHeaderRecord, DataFilePath,
                           false)) {
        RemoveNode(node);
        ReportWriteFailure();
        return;
    }
    ++RecordCount;
    if (!Store.WriteRecord(group, record, DataFilePath, false)) {
        RemoveNode(node);
        ReportWriteFailure();
    }
}

}  // namespace keyrack
