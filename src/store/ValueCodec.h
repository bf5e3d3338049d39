#pragma once

#include <string>

#include "platform/RandomSource.h"
#include "store/EntryRecord.h"
#include "store/RecordStore.h"

// A field's value as the open file keeps it. A plain file scrambles Windows-1252 text with its
// data key; a protected file keeps UTF-8 as it stands, its slots being sealed instead. Every
// reader and writer of values goes through here, so the two kinds never mix.
namespace keyrack {

// The text of a field: decoded with dataKey in a plain file, the UTF-8 bytes in a protected one.
std::string ReadValue(RecordStore& store, int field, int record, int dataKey);
// What a stored field's text reads as under the file's rule.
std::string DecodeFor(FileKind kind, const std::string& stored, int dataKey);
// The field's stored form of value; fill and length as EncodeValue takes them (plain only).
std::string EncodeFor(FileKind kind, const std::string& value, int dataKey, bool fill, int length,
                      platform::RandomSource& random = platform::SystemRandom());
// Whether value fits a field of fieldWidth bytes intact under the file's rule.
bool FitsWidth(FileKind kind, std::string_view value, int dataKey, int fieldWidth);

// EntryRecordFields and GroupRecordFields for the open file's kind.
FieldValues EntryRecordFields(FileKind kind, const EntryValues& values,
                              const std::string& field8Key, int record,
                              const std::string& parentKey, int dataKey,
                              platform::RandomSource& random);
FieldValues GroupRecordFields(FileKind kind, const std::string& name, int record,
                              const std::string& parentKey, int dataKey,
                              platform::RandomSource& random);

}  // namespace keyrack
