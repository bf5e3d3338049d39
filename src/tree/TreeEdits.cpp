#include "tree/TreeEdits.h"

#include <algorithm>

#include "common/Strings.h"
#include "store/ValueCodec.h"
#include "tree/NodeKeys.h"

namespace keyrack {

namespace {

constexpr int kTitleField = 1;
// Spaces at the ends of a password are part of it.
constexpr int kPasswordField = 4;
constexpr int kKeyField = 9;
constexpr int kParentField = 10;
// Margins of the automatic scrolling, in twips: narrow at the top and left, wide at the
// bottom and right.
constexpr int kNearMargin = 200;
constexpr int kFarMargin = 600;

}  // namespace

bool MayPickUp(const TreeNodeInfo& node, bool namedLikeDefaultGroup, int groupRecord) {
    if (node.key == DefaultGroupKey || namedLikeDefaultGroup) {
        return false;
    }
    return !node.isGroup || groupRecord > 0;
}

DropDecision DecideDrop(const TreeNodeInfo& dragged, const DropTarget& target) {
    if (!target.onNode) {
        if (!dragged.isGroup || dragged.parentKey.empty()) {
            return {};
        }
        return {DropOutcome::Move, ""};
    }
    if (target.node.key == dragged.key) {
        return {};
    }
    const auto& above = target.ancestorKeys;
    if (dragged.isGroup && std::find(above.begin(), above.end(), dragged.key) != above.end()) {
        return {DropOutcome::Refused, ""};
    }
    const std::string newParent = target.node.isGroup ? target.node.key : target.node.parentKey;
    if (newParent == dragged.parentKey || (!dragged.isGroup && newParent.empty())) {
        return {};
    }
    return {DropOutcome::Move, newParent};
}

int GroupRecordOf(RecordStore& store, const std::string& key, int dataKey) {
    const int record = RecordOfKey(key);
    if (record < FirstTreeRecord) {
        return 0;
    }
    const auto decoded = [&](int field) { return Trim(ReadValue(store, field, record, dataKey)); };
    // A key earlier versions cut is shown as the record's own, and is the record's too.
    const std::string stored = KeyFromStored(decoded(kKeyField));
    const bool isThisGroup =
        decoded(kTitleField).empty() && (stored == key || !IsSoundKey(stored, record));
    return isThisGroup ? record : 0;
}

FieldValues MovedEntryFields(RecordStore& store, int record, const std::string& text,
                             const std::string& key, const std::string& newParentKey, int dataKey,
                             platform::RandomSource& random) {
    FieldValues fields;
    const auto set = [&](int field, const std::string& value) {
        if (FitsWidth(store.Kind(), value, dataKey, FieldWidth(field))) {
            fields[field - 1] =
                EncodeFor(store.Kind(), value, dataKey, true, FieldWidth(field), random);
        }
    };
    for (int field = 1; field <= 7; ++field) {
        const std::string value = ReadValue(store, field, record, dataKey);
        set(field, field < 7 && field != kPasswordField ? Trim(value) : value);
    }
    set(8, text);
    set(kKeyField, StoredKeyForm(Trim(key)));
    set(kParentField, StoredKeyForm(Trim(newParentKey)));
    return fields;
}

FieldValues MovedGroupFields(RecordStore& store, int record, const std::string& newParentKey,
                             int dataKey, platform::RandomSource& random) {
    FieldValues fields;
    for (int field = 1; field <= FieldCount; ++field) {
        fields[field - 1] = store.ReadField(field, record);
    }
    const FileKind kind = store.Kind();
    fields[kKeyField - 1] = EncodeFor(kind, StoredKeyForm(RecordKey(record)), dataKey, true,
                                      FieldWidth(kKeyField), random);
    fields[kParentField - 1] = EncodeFor(kind, StoredKeyForm(Trim(newParentKey)), dataKey, true,
                                         FieldWidth(kParentField), random);
    return fields;
}

DragScroll DragScrollDirection(int x, int y, int width, int height) {
    if (y < kNearMargin) {
        return DragScroll::Up;
    }
    if (y > height - kFarMargin) {
        return DragScroll::Down;
    }
    if (x < kNearMargin) {
        return DragScroll::Left;
    }
    if (x > width - kFarMargin) {
        return DragScroll::Right;
    }
    return DragScroll::None;
}

}  // namespace keyrack
