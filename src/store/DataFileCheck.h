#pragma once

#include <string_view>

// Whether bytes are a data file this program (or an earlier version) wrote, judged by the two
// records every such file has from its first start: the header with the file's key and record
// count, and the settings with the login. Random bytes, blank space or another program's file
// fail, as does a file read with the wrong record length.
namespace keyrack {

// The header and settings records, read with recordLength-byte records, hold a stored key that
// is a number, a count that is digits or blank, and a login user name and password stored as
// the cipher writes them.
bool HoldsKeyAndLogin(std::string_view content, int recordLength);

enum class DataFileKind {
    Current,    // records of today's length
    OldFormat,  // an earlier version's file, to convert
    NotDataFile,
};

// Length alone decides when it fits only one layout; a length both fit (multiples of 8,320
// bytes) is old only when the settings make sense read the old way and not the current way.
// Used at start-up, where a file that fits no check still loads as it is. firstBytes holds at
// least the file's first two records, length is the whole file's.
bool IsOldFormat(std::string_view firstBytes, long long length);

// A stricter look, for a file about to replace the data file: its layout must also hold the
// key and the login.
DataFileKind ClassifyDataFile(std::string_view content);

}  // namespace keyrack
