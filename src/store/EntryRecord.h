#pragma once

#include <optional>
#include <string>

#include "generator/PasswordType.h"
#include "platform/RandomSource.h"
#include "store/RecordStore.h"

// The records of entries and groups as the program writes them.
namespace keyrack {

// What the detail boxes and settings hold, as Windows-1252 text.
struct EntryValues {
    std::string title;
    std::string address;
    std::string userName;
    std::string password;
    PasswordTypeSettings type;
};

enum class EntryBox { Title, Address, UserName, Password };

// The box's value as it is stored: trimmed, but for the password, which keeps its spaces.
std::string StoredBoxValue(const EntryValues& values, EntryBox box);

// The first box (in the order title, address, user name, password) whose value as stored (all
// but the password trimmed) the data file cannot keep intact under dataKey: too long, or
// characters the cipher loses.
std::optional<EntryBox> FirstUnstorableBox(const EntryValues& values, int dataKey);

// The ten encoded fields of entry record number record. The password keeps its surrounding
// spaces: they are part of it. field8Key is the node key the
// record names in field 8; parentKey is the group it belongs to.
FieldValues EntryRecordFields(const EntryValues& values, const std::string& field8Key, int record,
                              const std::string& parentKey, int dataKey,
                              platform::RandomSource& random);

// The three encoded fields of a group record: its name, its key "K<record>" and its parent.
FieldValues GroupRecordFields(const std::string& name, int record, const std::string& parentKey,
                              int dataKey, platform::RandomSource& random);

// EntryRecordFields and GroupRecordFields encoded straight into the fields of target, as
// RecordStore::InStoredForm would put them, without a string per field. A blank value leaves its
// field as it is. Returns the fields set: bit k - 1 for field k.
unsigned EncodeEntryRecordInto(DataRecord& target, const EntryValues& values,
                               const std::string& field8Key, int record,
                               const std::string& parentKey, int dataKey,
                               platform::RandomSource& random);
unsigned EncodeGroupRecordInto(DataRecord& target, const std::string& name, int record,
                               const std::string& parentKey, int dataKey,
                               platform::RandomSource& random);

// Record 1 with only the record count: every other field is left as it is.
FieldValues RecordCountFields(int recordCount);

}  // namespace keyrack
