#include "lang/ProfileFile.h"

#include <filesystem>
#include <fstream>

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

}  // namespace

std::string ReadIniValue(const std::string& section, const std::string& key,
                         const std::string& file, int size) {
    // Names given to the program are UTF-8, which the narrow stream constructor does not assume
    // on every system.
    std::ifstream in(std::filesystem::u8path(file), std::ios::binary);
    if (!in) {
        return {};
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
        if (!inWantedSection || equals == std::string::npos ||
            !SameNameIgnoringCase(content.substr(0, equals), key)) {
            continue;
        }
        const std::string value = TrimSpacesAndTabs(content.substr(equals + 1));
        return FirstCodePoints(WithoutEnclosingQuotes(value), size - 1);
    }
    return {};
}

}  // namespace keyrack
