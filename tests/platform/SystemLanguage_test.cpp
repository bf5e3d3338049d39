#include "platform/SystemLanguage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "lang/LangFunctions.h"
#include "store/AppPath.h"
#include "support/TempDir.h"

namespace keyrack::platform {
namespace {

// The language table's own test shows that each setting here chooses the intended language.
TEST(LanguageSettingFromLocaleTest, GivesTheSettingTheLanguageTableKnows) {
    std::istringstream cases(  // locale=setting
        "en_US=ENU EN-gb=ENG fr_CA=FRC fr_LU=FRA de_CH=DES de_DE.UTF-8=DEU de_AT@euro=DEA "
        "it_IT=it es_MX.UTF-8=es-mx es_ES=es pt_BR=pt-br pt-PT=pt nl_BE=nl-be nn_NO=no "
        "ja_JP.UTF-8=ja POSIX= =");
    for (std::string c; cases >> c;) {
        const std::size_t split = c.find('=');
        EXPECT_EQ(LanguageSettingFromLocale(c.substr(0, split)), c.substr(split + 1)) << c;
    }
}

#ifndef _WIN32

// Starts each case with no locale variable set and puts the user's back afterwards.
class LocaleEnvironmentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
    }

    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        }
        LangFunctions::ResetCatalogue();
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(LocaleEnvironmentTest, LcAllThenLcMessagesThenLangChooseTheLanguage) {
    EXPECT_EQ(CurrentLocaleName(), "");
    // Each step sets one variable; an empty value counts as unset.
    const std::tuple<const char*, const char*, const char*> steps[] = {
        {"LANG", "de_DE.UTF-8", "de_DE.UTF-8"},   {"LC_MESSAGES", "fr_FR.UTF-8", "fr_FR.UTF-8"},
        {"LC_ALL", "nl_BE.UTF-8", "nl_BE.UTF-8"}, {"LC_ALL", "", "fr_FR.UTF-8"},
        {"LC_MESSAGES", "", "de_DE.UTF-8"},       {"LANG", "", ""}};
    for (const auto& [name, value, seen] : steps) {
        setenv(name, value, 1);
        EXPECT_EQ(CurrentLocaleName(), seen) << name << "=" << value;
    }
}

// A form may ask for a caption before start-up has chosen the language or loaded a catalogue
// that an editor saved with a byte-order mark.
TEST_F(LocaleEnvironmentTest, FirstMessageChoosesTheLanguageAndReadsACatalogueWithAMark) {
    testing::TempDir dir;
    testing::WriteBytes(dir.File("lang.ini"),
                        "\xEF\xBB\xBF[Messages]\r\nnumber=0\r\nMES0=Open|Ouvrir|Offnen\r\n");
    UseAppFolder(dir.Path());
    LangFunctions::ResetCatalogue();
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(LangFunctions::GetMessage(0), "Offnen");
    EXPECT_EQ(LangFunctions::CurrentLanguage, "GERMAN");
    UseAppFolder("");
}

#endif

}  // namespace
}  // namespace keyrack::platform
