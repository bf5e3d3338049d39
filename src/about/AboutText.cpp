#include "about/AboutText.h"

#include <cctype>

namespace keyrack {

std::string ProgramNameFromFile(const std::string& fileName) {
    const auto lastSlash = fileName.find_last_of("/\\");
    std::string name = lastSlash == std::string::npos ? fileName : fileName.substr(lastSlash + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    bool wordStart = true;
    for (char& c : name) {
        if (c == '_') {
            c = ' ';
        }
        const auto byte = static_cast<unsigned char>(c);
        c = static_cast<char>(wordStart ? std::toupper(byte) : std::tolower(byte));
        wordStart = c == ' ';
    }
    return name;
}

std::string VersionText(const std::string& word, int major, int minor, int revision) {
    return word + " " + std::to_string(major) + "." + std::to_string(minor) + "." +
           std::to_string(revision);
}

std::string TitleText(const std::string& programName, const std::string& description) {
    return programName + "\n" + description;
}

}  // namespace keyrack
