#pragma once

#include <string>
#include <unordered_map>

namespace keyrack {

// Reads one value from the program's own INI ("profile") files, such as lang.ini.
//
// Section and key names match whatever their ASCII case and surrounding spaces; the first
// matching key wins, and a section may be continued further down the file. The value is the
// text after the first "=", trimmed of spaces and tabs, with one pair of enclosing double quotes
// removed. Lines starting with ";" are comments. A missing file, section or key gives "".
//
// The file is UTF-8 (an initial byte order mark is skipped); at most size - 1 code points are
// returned, never cutting a character in two.
std::string ReadIniValue(const std::string& section, const std::string& key,
                         const std::string& file, int size = 1000);

// One section's keys with their values as ReadIniValue gives them, read in one pass over the
// file (a whole catalogue at start-up).
struct IniSection {
    std::unordered_map<std::string, std::string> values;  // by lower-case name

    // As ReadIniValue matches it: whatever the case and surrounding spaces; "" when missing.
    std::string Value(const std::string& key) const;
};
IniSection ReadIniSection(const std::string& section, const std::string& file, int size = 1000);

}  // namespace keyrack
