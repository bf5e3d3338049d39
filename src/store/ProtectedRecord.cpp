#include "store/ProtectedRecord.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "common/Strings.h"
#include "common/Utf8.h"
#include "store/ValueCipher.h"
#include "store/ValueCodec.h"
#include "tree/NodeKeys.h"

namespace keyrack {

namespace {

constexpr int kRecordCountField = 6;
// Record 2's login hint, user name and password: the plain file's alone.
constexpr int kLoginFields[] = {1, 3, 4};

DataRecord ProtectedForm(const DataRecord& plain, int record, int dataKey) {
    DataRecord converted;
    for (int field = 1; field <= FieldCount; ++field) {
        const std::string text = ReplaceChar(plain.Field(field), '\0', "");
        std::string value;
        if (record == 1) {
            // Only the count, kept as the plain decimal text it is; the per-file key goes.
            value = field == kRecordCountField ? text : std::string();
        } else if (record != 2 || std::find(std::begin(kLoginFields), std::end(kLoginFields),
                                            field) == std::end(kLoginFields)) {
            value = Cp1252ToUtf8(DecodeValue(text, dataKey));
        }
        SetProtectedField(converted, field, value);
    }
    return converted;
}

}  // namespace

std::string ProtectedField(const DataRecord& record, int field) {
    std::string value = record.Field(field);
    value.erase(value.find_last_not_of('\0') + 1);
    return value;
}

void SetProtectedField(DataRecord& record, int field, const std::string& utf8) {
    const std::string kept = Utf8Prefix(utf8, static_cast<std::size_t>(FieldWidth(field)));
    char* start = record.bytes.data() + FieldOffset(field);
    std::memcpy(start, kept.data(), kept.size());
    std::memset(start + kept.size(), '\0',
                static_cast<std::size_t>(FieldWidth(field)) - kept.size());
}

bool ValueFits(FileKind kind, std::string_view value, int field, int dataKey) {
    return FitsWidth(kind, value, dataKey, FieldWidth(field));
}

std::optional<EntryBox> FirstUnfittingBox(FileKind kind, const EntryValues& values, int dataKey) {
    // The four boxes are stored in fields 1 to 4, in this order. Asked of every row an import
    // brings in, so the values are looked at where they lie.
    const std::pair<EntryBox, std::string_view> stored[] = {
        {EntryBox::Title, TrimmedView(values.title)},
        {EntryBox::Address, TrimmedView(values.address)},
        {EntryBox::UserName, TrimmedView(values.userName)},
        {EntryBox::Password, values.password}};
    int field = 1;
    for (const auto& [box, value] : stored) {
        if (!ValueFits(kind, value, field++, dataKey)) {
            return box;
        }
    }
    return std::nullopt;
}

FieldValues ProtectedEntryFields(const EntryValues& utf8, const std::string& field8Key, int record,
                                 const std::string& parentKey) {
    return {Trim(utf8.title),
            Trim(utf8.address),
            Trim(utf8.userName),
            utf8.password,
            Trim(utf8.type.type),
            Trim(utf8.type.caseSet),
            utf8.type.length,
            Trim(field8Key),
            StoredKeyForm(RecordKey(record)),
            StoredKeyForm(Trim(parentKey))};
}

FieldValues ProtectedGroupFields(const std::string& utf8Name, int record,
                                 const std::string& parentKey) {
    FieldValues fields;
    fields[7] = Trim(utf8Name);
    fields[8] = StoredKeyForm(RecordKey(record));
    fields[9] = StoredKeyForm(Trim(parentKey));
    return fields;
}

std::vector<DataRecord> ProtectedFormOfPlainRecords(const std::vector<DataRecord>& plain,
                                                    int dataKey) {
    std::vector<DataRecord> converted(plain.size());
    for (std::size_t n = 1; n < plain.size(); ++n) {
        converted[n] = ProtectedForm(plain[n], static_cast<int>(n), dataKey);
    }
    return converted;
}

}  // namespace keyrack
