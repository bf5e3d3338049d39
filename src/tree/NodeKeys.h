#pragma once

#include <string>
#include <string_view>

// Node keys: "K" followed by the record number, and "D" for the default group. The key fields
// of a record are ten bytes wide and carry three characters of plain text, so keys of records
// from 100 on are stored in a three-character short form (base 32, "K" left out of the digits
// so no short form starts with "K").
namespace keyrack {

constexpr const char* DefaultGroupKey = "D";

std::string RecordKey(int record);

// The form to store in fields 9 and 10.
std::string StoredKeyForm(const std::string& key);

// The node key that a stored value of field 9 or 10 stands for.
std::string KeyFromStored(const std::string& stored);

// Whether a record's key, as read back, is one the program gives that record: "D", or "K"
// and a record number; from record 100 on, where earlier versions cut the stored key, only the
// record's own.
bool IsSoundKey(const std::string& key, int record);

// The key earlier versions stored for a record from 100 on, as it reads back after they cut it
// to the field's ten bytes; empty below 100, where nothing was cut.
std::string KeyCutByEarlierVersions(int record, int dataKey);

// The record number in a key "K<n>" (0 when it is not one).
int RecordOfKey(std::string_view key);

}  // namespace keyrack
