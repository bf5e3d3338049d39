#include "lang/ProfileFile.h"

#include <filesystem>
#include <fstream>
#include <functional>

#include "common/Strings.h"

namespace keyrack {

namespace {

constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char kSpaceAndTab[] = " \t";

std::string TrimSpacesAndTabs(const std::string& text) {
    const auto first = text.find_first_not_of(kSpaceAndTab);
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(kSpaceAndTab);
    return text.substr(first, last - first + 1);
}

bool SameNameIgnoringCase(const std::string& written, const std::string& wanted) {
    return ToLowerAscii(TrimSpacesAndTabs(written)) == ToLowerAscii(TrimSpacesAndTabs(wanted));
}

// Quotes let a value keep the spaces the trimming would otherwise remove.
std::string WithoutEnclosingQuotes(const std::string& value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool IsUtf8ContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

std::string FirstCodePoints(const std::string& text, int count) {
    if (count <= 0) {
        return {};
    }
    int started = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsUtf8ContinuationByte(text[i]) && ++started > count) {
            return text.substr(0, i);
        }
    }
    return text;
}

// Calls take(name, value) for each key of section, in the file's order, until it returns true.
void ScanSection(const std::string& section, const std::string& file,
                 const std::function<bool(const std::string&, const std::string&)>& take) {
    // Names given to the program are UTF-8, which the narrow stream constructor does not assume
    // on every system.
    std::ifstream in(std::filesystem::u8path(file), std::ios::binary);
    if (!in) {
        return;
    }
    bool inWantedSection = false;
    bool firstLine = true;
    std::string line;
    while (std::getline(in, line)) {
        if (firstLine && line.compare(0, 3, kUtf8ByteOrderMark) == 0) {
            line.erase(0, 3);
        }
        firstLine = false;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::string content = TrimSpacesAndTabs(line);
        if (content.empty() || content.front() == ';') {
            continue;
        }
        if (content.front() == '[') {
            const auto close = content.find(']');
            inWantedSection = SameNameIgnoringCase(content.substr(1, close - 1), section);
            continue;
        }
        const auto equals = content.find('=');
        if (inWantedSection && equals != std::string::npos &&
            take(content.substr(0, equals),
                 WithoutEnclosingQuotes(TrimSpacesAndTabs(content.substr(equals + 1))))) {
            return;
        }
    }
}

std::string NameKey(const std::string& name) {
    return ToLowerAscii(TrimSpacesAndTabs(name));
}

}  // namespace

std::string ReadIniValue(const std::string& section, const std::string& key,
                         const std::string& file, int size) {
    std::string found;
    ScanSection(section, file, [&](const std::string& name, const std::string& value) {
        if (!SameNameIgnoringCase(name, key)) {
            return false;
        }
        found = FirstCodePoints(value, size - 1);
        return true;
    });
    return found;
}

IniSection ReadIniSection(const std::string& section, const std::string& file, int size) {
    IniSection read;
    ScanSection(section, file, [&](const std::string& name, const std::string& value) {
        read.values.emplace(NameKey(name), FirstCodePoints(value, size - 1));
        return false;
    });
    return read;
}

std::string IniSection::Value(const std::string& key) const {
    const auto found = values.find(NameKey(key));
    return found == values.end() ? std::string() : found->second;
}

}  // namespace keyrack
