#include "platform/SystemLanguage.h"

#include <cstdlib>

#include "common/Strings.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace keyrack::platform {

namespace {

struct DesktopAbbreviation {
    const char* language;
    const char* region;
    const char* abbreviation;
};

// The first row of each language also stands for the regions not listed.
constexpr DesktopAbbreviation kDesktopAbbreviations[] = {
    {"en", "us", "ENU"}, {"en", "gb", "ENG"}, {"en", "au", "ENA"}, {"en", "ca", "ENC"},
    {"en", "nz", "ENZ"}, {"fr", "fr", "FRA"}, {"fr", "be", "FRB"}, {"fr", "ca", "FRC"},
    {"fr", "ch", "FRS"}, {"de", "de", "DEU"}, {"de", "at", "DEA"}, {"de", "ch", "DES"},
};

// The language-and-region codes the language table knows; other regions are left off so that
// the plain language code is recognised instead.
constexpr const char* kRegionalCodes[] = {
    "es-cr", "es-do", "es-co", "es-ar", "es-cl", "es-py", "es-sv", "es-ni", "es-mx", "es-gt",
    "es-pa", "es-pe", "es-ve", "es-ec", "es-uy", "es-bo", "es-hn", "es-pr", "pt-br", "nl-be",
};

// Bokmål and Nynorsk share the one Norwegian translation.
bool IsNorwegian(const std::string& language) {
    return language == "no" || language == "nb" || language == "nn";
}

const char* DesktopAbbreviationFor(const std::string& language, const std::string& region) {
    const char* main = nullptr;
    for (const DesktopAbbreviation& row : kDesktopAbbreviations) {
        if (language != row.language) {
            continue;
        }
        if (region == row.region) {
            return row.abbreviation;
        }
        if (main == nullptr) {
            main = row.abbreviation;
        }
    }
    return main;
}

bool IsKnownRegionalCode(const std::string& code) {
    for (const char* known : kRegionalCodes) {
        if (code == known) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string ReadWinIniValue(const std::string& section, const std::string& key) {
#ifdef _WIN32
    constexpr DWORD kBufferSize = 255;
    char buffer[kBufferSize] = {};
    const DWORD length =
        GetProfileStringA(section.c_str(), key.c_str(), "NO FILE", buffer, kBufferSize);
    return length > 0 ? std::string(buffer, length) : std::string();
#else
    if (ToLowerAscii(section) == "intl" && ToLowerAscii(key) == "slanguage") {
        return LanguageSettingFromLocale(CurrentLocaleName());
    }
    return {};
#endif
}

std::string CurrentLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

std::string LanguageSettingFromLocale(const std::string& locale) {
    const std::string name = Trim(locale.substr(0, locale.find_first_of(".@")));
    const std::string upperName = ToUpperAscii(name);
    if (name.empty() || upperName == "C" || upperName == "POSIX") {
        return {};
    }
    const auto separator = name.find_first_of("_-");
    const std::string language = ToLowerAscii(name.substr(0, separator));
    const std::string region =
        separator == std::string::npos ? std::string() : ToLowerAscii(name.substr(separator + 1));

    if (const char* abbreviation = DesktopAbbreviationFor(language, region)) {
        return abbreviation;
    }
    if (IsNorwegian(language)) {
        return "no";
    }
    const std::string regionalCode = language + "-" + region;
    return IsKnownRegionalCode(regionalCode) ? regionalCode : language;
}

}  // namespace keyrack::platform
