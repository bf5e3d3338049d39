#include "lang/LangFunctions.h"

#include <cctype>

#include "common/Strings.h"
#include "lang/LanguageTable.h"
#include "lang/ProfileFile.h"
#include "platform/SystemLanguage.h"
#include "store/AppPath.h"

namespace keyrack::LangFunctions {

std::array<std::array<std::string, kMessageCount>, kLanguageCount> MessageTexts;
bool MessagesLoaded = false;
std::string CurrentLanguage;
std::string SystemLanguage;

namespace {

constexpr int kLongestCatalogueLine = 8192;

constexpr char kCatalogueSection[] = "Messages";
constexpr char kFieldSeparator[] = "|";

struct LanguageName {
    const char* name;
    LanguageColumn column;
};

constexpr LanguageName kLanguageNames[] = {
    {"ENGLISH", kEnglish},       {"FRENCH", kFrench},       {"GERMAN", kGerman},
    {"ITALIAN", kItalian},       {"SPANISH", kSpanish},     {"DUTCH", kDutch},
    {"PORTUGUESE", kPortuguese}, {"NORWEGIAN", kNorwegian},
};

LanguageColumn ColumnForLanguage(const std::string& language) {
    const std::string wanted = ToUpperAscii(Trim(language));
    for (const LanguageName& known : kLanguageNames) {
        if (wanted == known.name) {
            return known.column;
        }
    }
    return kEnglish;
}

// Val alone would read a count of "abc" as 0 and "52x" as 52, loading a broken catalogue as if
// it were sound: the count must be a decimal number and nothing else.
bool IsNumberAndNothingElse(const std::string& text) {
    const std::string trimmed = Trim(text);
    std::size_t i = !trimmed.empty() && (trimmed[0] == '+' || trimmed[0] == '-') ? 1 : 0;
    bool digits = false;
    bool point = false;
    for (; i < trimmed.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(trimmed[i]))) {
            digits = true;
        } else if (trimmed[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits;
}

// The number of the last message to read. Counts past the catalogue's size are capped just past
// it, which is enough to make the load fail and keeps the conversion in range.
long long LastMessageNumber(const std::string& count) {
    double last = Val(count);
    if (last > static_cast<double>(kMessageCount)) {
        last = static_cast<double>(kMessageCount);
    } else if (last < -1) {
        last = -1;
    }
    return RoundHalfEven(last);
}

}  // namespace

void LoadMessages() {
    MessagesLoaded = false;
    // A message's eight languages together can pass the usual 1000-character line.
    const IniSection catalogue =
        ReadIniSection(kCatalogueSection, CataloguePath(), kLongestCatalogueLine);
    const std::string count = catalogue.Value("number");
    if (!IsNumberAndNothingElse(count)) {
        return;
    }
    const long long last = LastMessageNumber(count);
    for (long long number = 0; number <= last; ++number) {
        if (number >= static_cast<long long>(kMessageCount)) {
            return;
        }
        const std::string line = catalogue.Value("MES" + std::to_string(number));
        const auto slot = static_cast<std::size_t>(number);
        for (std::size_t column = 0; column < kLanguageCount; ++column) {
            MessageTexts[column][slot] =
                GetField(line, kFieldSeparator, static_cast<int>(column) + 1);
        }
    }
    MessagesLoaded = true;
}

std::string GetMessage(int number) {
    if (IsBlank(CurrentLanguage)) {
        DetectLanguage();
    }
    if (!MessagesLoaded) {
        LoadMessages();
        if (!MessagesLoaded) {
            return {};
        }
    }
    if (number < 0 || number >= static_cast<int>(kMessageCount)) {
        return {};
    }
    const auto slot = static_cast<std::size_t>(number);
    const std::string& text = MessageTexts[ColumnForLanguage(CurrentLanguage)][slot];
    return IsBlank(text) ? MessageTexts[kEnglish][slot] : text;
}

void DetectLanguage() {
    SystemLanguage = ToUpperAscii(Trim(platform::ReadWinIniValue("intl", "sLanguage")));
    CurrentLanguage = LanguageForCode(ToLowerAscii(Trim(SystemLanguage)));
}

void ResetCatalogue() {
    for (auto& column : MessageTexts) {
        column.fill(std::string());
    }
    MessagesLoaded = false;
    CurrentLanguage.clear();
    SystemLanguage.clear();
}

}  // namespace keyrack::LangFunctions
