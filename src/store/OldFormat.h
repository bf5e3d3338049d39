#pragma once

#include <string>

// Data files of earlier versions had 520-byte records: only the first seven fields of today's.
namespace keyrack {

constexpr int OldRecordLength = 520;

// Old only when the length is whole old records and not whole current ones; a current file
// whose last write was cut keeps its layout.
bool IsOldFormatLength(long long length);

// The current layout of an old file: every old record in its place, fields 1-7 as they stand,
// fields 8-10 blank.
std::string ConvertOldFormat(const std::string& oldBytes);

// Where the conversion keeps the old file: "OLD_cli.rkd" in the data file's folder.
std::string OldFormatCopyPath(const std::string& dataPath);

}  // namespace keyrack
