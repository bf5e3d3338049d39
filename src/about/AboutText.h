#pragma once

#include <string>

// What the About box says about the program, assembled without any window.
namespace keyrack {

// The program's name made from its executable's file name: the extension dropped, every "_"
// a space, and each space-separated word with a capital first letter and the rest in lower
// case ("my_keyrack" gives "My Keyrack").
std::string ProgramNameFromFile(const std::string& fileName);

// The version line: word, a space, then major.minor.revision ("Version 1.2.0").
std::string VersionText(const std::string& word, int major, int minor, int revision);

// The title: the program's name above the catalogue's description of it.
std::string TitleText(const std::string& programName, const std::string& description);

}  // namespace keyrack
