#pragma once

#include <string>

namespace keyrack {

// Where the program's files are: the data files ("cli.rkd", "cli2.rkd", "OLD_cli.rkd") in one
// folder, the message catalogue ("lang.ini") in another or the same.
struct ProgramPlaces {
    std::string dataFolder;
    std::string catalogueFolder;
};

// The program folder, ending in exactly one separator: the folder the data files' bare names
// are joined to.
extern std::string App_Path;

// With "lang.ini" beside the executable (the build folder, an unpacked portable copy) every
// file is there. Otherwise the program is installed under a prefix: the catalogue is read from
// <prefix>/share/keyrack and the data files live in userDataFolder, which is created if need be
// and made readable by its owner only.
ProgramPlaces LocatePlaces(const std::string& executableFolder, const std::string& userDataFolder);

// Points the program at its places; until this is called, both are the executable's folder.
void UsePlaces(const ProgramPlaces& places);

// Both places in one folder; tests use it to keep their files apart. An empty folder goes back
// to the executable's.
void UseAppFolder(const std::string& folder);

// Sets App_Path from the data folder and returns it.
std::string GetAppPath();

// The full path of "lang.ini".
std::string CataloguePath();

// folder, exactly as named, ending in exactly one separator.
std::string WithTrailingSeparator(const std::string& folder);

}  // namespace keyrack
