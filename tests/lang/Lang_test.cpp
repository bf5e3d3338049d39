#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "common/StatusMessages.h"
#include "common/Strings.h"
#include "lang/LangFunctions.h"
#include "lang/LanguageTable.h"
#include "lang/ProfileFile.h"
#include "platform/SystemLanguage.h"
#include "store/AppPath.h"
#include "support/TempDir.h"

namespace keyrack {
namespace {

TEST(ProfileFileTest, ReadsValuesTheWayTheCatalogueIsWritten) {
    // Each line of the catalogue, the key then looked up in [Messages] and what it gives; lines
    // without a key only set the scene.
    const std::tuple<const char*, const char*, const char*> lines[] = {
        {"key = before any section", "key", ""},
        {"[  MeSsAgEs ]", nullptr, nullptr},
        {"  Number  = 12", " NUMBER ", "12"},
        {"padded = \t two  words \t ", "padded", "two  words"},
        {"formula = a=b = c", "formula", "a=b = c"},
        {"spaced = \"  kept  \"", "spaced", "  kept  "},
        {"doubled = \"\"inner\"\"", "doubled", "\"inner\""},
        {"  ;hidden = from a comment", ";hidden", ""},
        {"semi = real ; not a comment", "semi", "real ; not a comment"},
        {"dup = first", "dup", "first"},
        {"DUP = second", nullptr, nullptr},
        {"[Other]", nullptr, nullptr},
        {"late = wrong section", nullptr, nullptr},
        {"[messages]", nullptr, nullptr},
        {"late = continued\r", "late", "continued"}};
    const std::string x(1200, 'x');
    std::string text;
    for (const auto& line : lines) {
        text += std::get<0>(line) + std::string("\n");
    }
    testing::TempDir dir;
    const std::string path = dir.File("test.ini");
    testing::WriteBytes(
        path, text + "long = " + x + "\nwide = " + x.substr(0, 998) + "\xC3\xA9\xC3\xA9\n");
    for (const auto& [line, key, expected] : lines) {
        if (key != nullptr) {
            EXPECT_EQ(ReadIniValue(" MESSAGES ", key, path), expected) << line;
        }
    }
    // The cut at 999 counts characters, so a two-byte letter is either whole or left out.
    EXPECT_EQ(ReadIniValue("Messages", "long", path), std::string(999, 'x'));
    EXPECT_EQ(ReadIniValue("Messages", "wide", path), std::string(998, 'x') + "\xC3\xA9");
    EXPECT_EQ(ReadIniValue("Absent", "number", path), "");
    EXPECT_EQ(ReadIniValue("Messages", "number", dir.File("absent.ini")), "");
}

TEST(LanguageTableTest, KnownCodesGiveTheirLanguageWhateverTheCaseAndOthersEnglish) {
    // Each language's first and last code (code=language), then near misses: other
    // abbreviations of known languages and regions the table lacks.
    std::istringstream cases(
        "uk=ENGLISH usa=ENGLISH frb=FRENCH frs=FRENCH dea=GERMAN swiss=GERMAN it=ITALIAN "
        "es=SPANISH es-pr=SPANISH nl-be=DUTCH pt-br=PORTUGUESE no=NORWEGIAN "
        "ita=ENGLISH es-es=ENGLISH de=ENGLISH nb=ENGLISH");
    for (std::string c; cases >> c;) {
        const std::size_t split = c.find('=');
        EXPECT_EQ(LanguageForCode("  " + ToUpperAscii(c.substr(0, split)) + " "),
                  c.substr(split + 1));
    }
    // Codes with spaces: one listed, two near misses, and none at all.
    for (const char* code : {"american english", "french canadian", "es - mx", "   "}) {
        EXPECT_EQ(LanguageForCode(code), "ENGLISH") << code;
    }
    // Each system locale gives the setting the table above reads (locale=setting).
    std::istringstream locales(
        "en_US=ENU EN-gb=ENG fr_CA=FRC fr_LU=FRA de_CH=DES de_DE.UTF-8=DEU de_AT@euro=DEA "
        "it_IT=it es_MX.UTF-8=es-mx es_ES=es pt_BR=pt-br pt-PT=pt nl_BE=nl-be nn_NO=no "
        "ja_JP.UTF-8=ja POSIX= =");
    for (std::string c; locales >> c;) {
        const std::size_t split = c.find('=');
        EXPECT_EQ(platform::LanguageSettingFromLocale(c.substr(0, split)), c.substr(split + 1))
            << c;
    }
}

namespace lang = LangFunctions;

// Each case starts with no catalogue read and no locale variable set; the user's come back after.
class LangFunctionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
        UseAppFolder(dir_.Path());
        lang::ResetCatalogue();
    }

    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        }
        UseAppFolder("");
        lang::ResetCatalogue();
    }

    testing::TempDir dir_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// LC_ALL, then LC_MESSAGES, then LANG choose the language. A form may ask for a caption before
// start-up has chosen it, from a catalogue an editor saved with a byte-order mark and Windows
// line ends.
TEST_F(LangFunctionsTest, TheLocaleChoosesALanguageThatReadsItsFieldOrFallsBackToEnglish) {
    EXPECT_EQ(platform::CurrentLocaleName(), "");
    // Each step sets one variable; an empty value counts as unset.
    const std::tuple<const char*, const char*, const char*> steps[] = {
        {"LANG", "de_DE.UTF-8", "de_DE.UTF-8"},   {"LC_MESSAGES", "fr_FR.UTF-8", "fr_FR.UTF-8"},
        {"LC_ALL", "nl_BE.UTF-8", "nl_BE.UTF-8"}, {"LC_ALL", "", "fr_FR.UTF-8"},
        {"LC_MESSAGES", "", "de_DE.UTF-8"},       {"LANG", "", ""}};
    for (const auto& [name, value, seen] : steps) {
        setenv(name, value, 1);
        EXPECT_EQ(platform::CurrentLocaleName(), seen) << name << "=" << value;
    }
    testing::WriteBytes(dir_.File("lang.ini"),
                        "\xEF\xBB\xBF[Messages]\r\nnumber=5\r\n"
                        "MES0=Open|Ouvrir|Offnen|Apri|Abrir (pt)|Abrir (es)|Openen|Apne|ninth\r\n"
                        "MES1=Save|Enregistrer\r\n"
                        "MES2=Close||Schliessen\r\n"
                        "MES3=Alone\r\n"
                        "MES4=Name: |Nom : |Name:\r\n");
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(lang::GetMessage(0), "Offnen");
    EXPECT_EQ(lang::CurrentLanguage, "GERMAN");
    // In catalogue column order; names are matched trimmed and whatever their case.
    const char* const languages[] = {"ENGLISH",    "french",  "GERMAN",   "ITALIAN",
                                     "PORTUGUESE", "SPANISH", " Dutch  ", "NORWEGIAN"};
    // Each message as the eight languages see it, joined by "|".
    const std::pair<int, const char*> cases[] = {
        {0, "Open|Ouvrir|Offnen|Apri|Abrir (pt)|Abrir (es)|Openen|Apne"},
        {1, "Save|Enregistrer|Save|Save|Save|Save|Save|Save"},
        {2, "Close|Close|Schliessen|Close|Close|Close|Close|Close"},
        {3, "Alone|Alone|Alone|Alone|Alone|Alone|Alone|Alone"},
        {4, "Name: |Nom : |Name:|Name: |Name: |Name: |Name: |Name: "},
        {5, "|||||||"},
        {-1, "|||||||"}};
    for (const auto& [number, expected] : cases) {
        std::string seen;
        for (const char* language : languages) {
            lang::CurrentLanguage = language;
            seen += lang::GetMessage(number) + "|";
        }
        EXPECT_EQ(seen, std::string(expected) + "|") << "MES" << number;
    }
    lang::CurrentLanguage = "KLINGON";
    EXPECT_EQ(lang::GetMessage(0), "Open");
}

TEST_F(LangFunctionsTest, BrokenCatalogueGivesEmptyTextAndIsReadAgainOnceFixed) {
    std::string lines;
    for (int i = 0; i <= 150; ++i) {
        lines += "MES" + std::to_string(i) + "=text " + std::to_string(i) + "\n";
    }
    // The catalogue's count line and the text of message 0. The case without a catalogue comes
    // first, before any file is written.
    const std::pair<const char*, const char*> cases[] = {{nullptr, ""},
                                                         {"", ""},
                                                         {"number=abc\n", ""},
                                                         {"number=1e2\n", ""},
                                                         {"number=250\n", ""},
                                                         {"number=0\n", "text 0"},
                                                         {"number= +0.4 \n", "text 0"}};
    for (const auto& [countLine, first] : cases) {
        SCOPED_TRACE(countLine ? countLine : "no file");
        lang::ResetCatalogue();
        if (countLine) {
            testing::WriteBytes(dir_.File("lang.ini"),
                                std::string("[Messages]\n") + countLine + lines);
        }
        EXPECT_EQ(lang::GetMessage(0), first);
        EXPECT_EQ(lang::GetMessage(100), "");
        if (!lang::MessagesLoaded) {
            testing::WriteBytes(dir_.File("lang.ini"), "[Messages]\nnumber=100\n" + lines);
            EXPECT_EQ(lang::GetMessage(100), "text 100");
        }
    }
}

constexpr char kShippedCatalogue[] = KEYRACK_SHIPPED_LANG_INI;

TEST_F(LangFunctionsTest, EveryMessageHasAllEightTranslationsAndEachMenuItsOwnMnemonic) {
    const std::string count = ReadIniValue("Messages", "number", kShippedCatalogue);
    EXPECT_GE(Val(count), 58) << "[Messages] number in " << kShippedCatalogue;
    // A count past the catalogue's end would make every message empty.
    EXPECT_LT(Val(count), static_cast<double>(LangFunctions::kMessageCount));

    // Every message up to the count, read as the program reads it, has all eight languages,
    // except the numbers never used.
    const std::string shipped = kShippedCatalogue;
    UseAppFolder(shipped.substr(0, shipped.rfind('/') + 1));
    const std::set<int> unused = {11, 12, 16, 17, 18, 46};
    for (const char* language : {"ENGLISH", "FRENCH", "GERMAN", "ITALIAN", "PORTUGUESE", "SPANISH",
                                 "DUTCH", "NORWEGIAN"}) {
        LangFunctions::CurrentLanguage = language;
        for (int number = 0; number <= Val(count); ++number) {
            EXPECT_TRUE(unused.count(number) == 1 || !IsBlank(LangFunctions::GetMessage(number)))
                << "MES" << number << " in " << language;
        }
        // Each menu of the menu bar has one mark, before a letter no other menu uses.
        std::set<int> letters;
        for (int menu : kTopLevelMenus) {
            const std::string caption = LangFunctions::GetMessage(menu);
            const std::size_t mark = caption.find('&');
            EXPECT_TRUE(mark != std::string::npos && mark + 1 < caption.size() &&
                        std::isalpha(static_cast<unsigned char>(caption[mark + 1])) &&
                        caption.find('&', mark + 1) == std::string::npos &&
                        letters.insert(std::tolower(caption[mark + 1])).second)
                << caption << " in " << language;
        }
    }
}

}  // namespace
}  // namespace keyrack
