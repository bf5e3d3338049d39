#pragma once

#include <optional>
#include <string>
#include <vector>

#include "store/EntryRecord.h"
#include "store/RecordStore.h"

// The fields of a record in a protected file. The layout is the plain file's (ten fields of 100,
// 100, 100, 100, 40, 40, 40, 100, 10 and 10 bytes, the same record roles), but a value is its
// UTF-8 bytes as they stand, padded with NULs: no cipher, no three digits per character, so a
// field holds as many bytes as it is wide. Padding with NULs rather than spaces keeps a
// password's own spaces at either end. Records 1 and 2 keep their roles except the fields that
// only the plain file needs: the stored per-file key and the login pair (the header holds the
// hint; the user name and password are stored nowhere).
namespace keyrack {

// The value of a field: its bytes without the NUL padding. A field of spaces, as a cleared
// record has, reads as those spaces, which IsBlank takes for no value.
std::string ProtectedField(const DataRecord& record, int field);

// Puts value into field, cut to the last whole character that fits, padded with NULs.
void SetProtectedField(DataRecord& record, int field, const std::string& utf8);

// Whether a value fits a field of the open file intact. Plain: Windows-1252 text that the cipher
// keeps under dataKey within the field. Protected: well-formed UTF-8 without NUL whose bytes fit
// the field's width.
bool ValueFits(FileKind kind, std::string_view value, int field, int dataKey);

// The first box whose value does not fit, as FirstUnstorableBox does for plain files; values
// are UTF-8 for a protected file.
std::optional<EntryBox> FirstUnfittingBox(FileKind kind, const EntryValues& values, int dataKey);

// The ten fields of an entry or group record in a protected file, the same values
// EntryRecordFields and GroupRecordFields store, without the cipher.
FieldValues ProtectedEntryFields(const EntryValues& utf8, const std::string& field8Key, int record,
                                 const std::string& parentKey);
FieldValues ProtectedGroupFields(const std::string& utf8Name, int record,
                                 const std::string& parentKey);

// The protected form of a plain file's records (element n = record n): every value decoded with
// dataKey and turned from Windows-1252 into UTF-8; record 1's key and record 2's login pair and
// hint dropped; free records stay free.
std::vector<DataRecord> ProtectedFormOfPlainRecords(const std::vector<DataRecord>& plain,
                                                    int dataKey);

}  // namespace keyrack
