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

FieldValues EntryRecordFields(const EntryValues& values, const std::string& field8Key, int record,
                              const std::string& parentKey, int dataKey,
                              platform::RandomSource& random) {
    const auto encode = [&](int field, const std::string& value) {
        return EncodeValue(value, dataKey, true, FieldWidth(field), random);
    };
    return {encode(1, Trim(values.title)),
            encode(2, Trim(values.address)),
            encode(3, Trim(values.userName)),
            encode(4, values.password),
            encode(5, Trim(values.type.type)),
            encode(6, Trim(values.type.caseSet)),
            encode(7, values.type.length),
            encode(8, Trim(field8Key)),
            encode(9, StoredKeyForm(RecordKey(record))),
            encode(10, StoredKeyForm(Trim(parentKey)))};
}

FieldValues GroupRecordFields(const std::string& name, int record, const std::string& parentKey,
                              int dataKey, platform::RandomSource& random) {
    const auto encode = [&](int field, const std::string& value) {
        return EncodeValue(value, dataKey, true, FieldWidth(field), random);
    };
    FieldValues fields;
    fields[7] = encode(8, Trim(name));
    fields[8] = encode(9, StoredKeyForm(RecordKey(record)));
    fields[9] = encode(10, StoredKeyForm(Trim(parentKey)));
    return fields;
}

FieldValues RecordCountFields(int recordCount) {
    FieldValues fields;
    fields[5] = std::to_string(recordCount);
    return fields;
}

}  // namespace keyrack
