#include "store/EntryRecord.h"

#include "common/Strings.h"
#include "store/ValueCipher.h"
#include "tree/NodeKeys.h"

namespace keyrack {

std::string StoredBoxValue(const EntryValues& values, EntryBox box) {
    switch (box) {
        case EntryBox::Title:
            return Trim(values.title);
        case EntryBox::Address:
            return Trim(values.address);
        case EntryBox::UserName:
            return Trim(values.userName);
        case EntryBox::Password:
            break;
    }
    return values.password;
}

std::optional<EntryBox> FirstUnstorableBox(const EntryValues& values, int dataKey) {
    for (EntryBox box :
         {EntryBox::Title, EntryBox::Address, EntryBox::UserName, EntryBox::Password}) {
        if (!StoresIntact(StoredBoxValue(values, box), dataKey, FieldWidth(1))) {
            return box;
        }
    }
    return std::nullopt;
}

namespace {

// Calls set with each field of an entry record and its text before encoding.
template <typename Set>
void ForEachEntryField(const EntryValues& values, const std::string& field8Key, int record,
                       const std::string& parentKey, Set set) {
    set(1, TrimmedView(values.title));
    set(2, TrimmedView(values.address));
    set(3, TrimmedView(values.userName));
    set(4, values.password);
    set(5, TrimmedView(values.type.type));
    set(6, TrimmedView(values.type.caseSet));
    set(7, values.type.length);
    set(8, TrimmedView(field8Key));
    set(9, StoredKeyForm(RecordKey(record)));
    set(10, StoredKeyForm(Trim(parentKey)));
}

template <typename Set>
void ForEachGroupField(const std::string& name, int record, const std::string& parentKey, Set set) {
    set(8, TrimmedView(name));
    set(9, StoredKeyForm(RecordKey(record)));
    set(10, StoredKeyForm(Trim(parentKey)));
}

// Encodes each field set names straight into its place in the record.
struct EncodeInto {
    DataRecord& target;
    unsigned& fields;
    int dataKey;
    platform::RandomSource& random;

    void operator()(int field, std::string_view value) const {
        if (EncodeValueInto(value, dataKey, random, target.bytes.data() + FieldOffset(field),
                            static_cast<std::size_t>(FieldWidth(field)))) {
            fields |= 1u << (field - 1);
        }
    }
};

}  // namespace

FieldValues EntryRecordFields(const EntryValues& values, const std::string& field8Key, int record,
                              const std::string& parentKey, int dataKey,
                              platform::RandomSource& random) {
    FieldValues fields;
    ForEachEntryField(values, field8Key, record, parentKey, [&](int field, std::string_view value) {
        fields[field - 1] =
            EncodeValue(std::string(value), dataKey, true, FieldWidth(field), random);
    });
    return fields;
}

unsigned EncodeEntryRecordInto(DataRecord& target, const EntryValues& values,
                               const std::string& field8Key, int record,
                               const std::string& parentKey, int dataKey,
                               platform::RandomSource& random) {
    unsigned fields = 0;
    ForEachEntryField(values, field8Key, record, parentKey,
                      EncodeInto{target, fields, dataKey, random});
    return fields;
}

FieldValues GroupRecordFields(const std::string& name, int record, const std::string& parentKey,
                              int dataKey, platform::RandomSource& random) {
    FieldValues fields;
    ForEachGroupField(name, record, parentKey, [&](int field, std::string_view value) {
        fields[field - 1] =
            EncodeValue(std::string(value), dataKey, true, FieldWidth(field), random);
    });
    return fields;
}

unsigned EncodeGroupRecordInto(DataRecord& target, const std::string& name, int record,
                               const std::string& parentKey, int dataKey,
                               platform::RandomSource& random) {
    unsigned fields = 0;
    ForEachGroupField(name, record, parentKey, EncodeInto{target, fields, dataKey, random});
    return fields;
}

FieldValues RecordCountFields(int recordCount) {
    FieldValues fields;
    fields[5] = std::to_string(recordCount);
    return fields;
}

}  // namespace keyrack
