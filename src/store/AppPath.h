#pragma once

#include <string>

namespace keyrack {

// The program folder, ending in exactly one separator; every file of the program is this
// folder followed by a bare name ("cli.rkd", "cli2.rkd", "OLD_cli.rkd", "lang.ini").
extern std::string App_Path;

// Sets App_Path from the executable's folder (or the folder given to UseAppFolder) and
// returns it.
std::string GetAppPath();

// Points the program at another folder than the executable's; tests use it to keep their
// files apart. An empty folder goes back to the executable's.
void UseAppFolder(const std::string& folder);

// folder, trimmed, ending in exactly one separator.
std::string WithTrailingSeparator(const std::string& folder);

}  // namespace keyrack
