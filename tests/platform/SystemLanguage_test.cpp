#include "platform/SystemLanguage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "lang/LangFunctions.h"
#include "lang/LanguageTable.h"
#include "store/AppPath.h"
#include "support/TempDir.h"

namespace keyrack::platform {
namespace {

TEST(LanguageSettingFromLocaleTest, EnglishFrenchAndGermanGiveDesktopAbbreviations) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"en_US.UTF-8", "ENU"}, {"en_GB", "ENG"},       {"en_AU", "ENA"}, {"en_CA", "ENC"},
        {"en_NZ", "ENZ"},       {"fr_FR", "FRA"},       {"fr_BE", "FRB"}, {"fr_CA", "FRC"},
        {"fr_CH", "FRS"},       {"de_DE.UTF-8", "DEU"}, {"de_AT", "DEA"}, {"de_CH", "DES"},
    };
    for (const auto& [locale, setting] : cases) {
        EXPECT_EQ(LanguageSettingFromLocale(locale), setting) << locale;
    }
}

TEST(LanguageSettingFromLocaleTest, UnlistedRegionsFallBackToTheMainAbbreviation) {
    EXPECT_EQ(LanguageSettingFromLocale("en_IE.UTF-8"), "ENU");
    EXPECT_EQ(LanguageSettingFromLocale("en"), "ENU");
    EXPECT_EQ(LanguageSettingFromLocale("fr_LU"), "FRA");
    EXPECT_EQ(LanguageSettingFromLocale("de_LU"), "DEU");
    EXPECT_EQ(LanguageSettingFromLocale("de_LI"), "DEU");
}

TEST(LanguageSettingFromLocaleTest, OtherLanguagesGiveTheCodesOfTheLanguageTable) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"it_IT.UTF-8", "it"}, {"it_CH", "it"},       {"es_MX.UTF-8", "es-mx"}, {"es_AR", "es-ar"},
        {"es_ES.UTF-8", "es"}, {"es", "es"},          {"pt_BR.UTF-8", "pt-br"}, {"pt_PT", "pt"},
        {"nl_BE", "nl-be"},    {"nl_NL", "nl"},       {"nb_NO.UTF-8", "no"},    {"nn_NO", "no"},
        {"no_NO", "no"},       {"ja_JP.UTF-8", "ja"},
    };
    for (const auto& [locale, setting] : cases) {
        EXPECT_EQ(LanguageSettingFromLocale(locale), setting) << locale;
    }
}

TEST(LanguageSettingFromLocaleTest, CodesetModifierSeparatorAndCaseDoNotMatter) {
    EXPECT_EQ(LanguageSettingFromLocale("de_DE.ISO-8859-15@euro"), "DEU");
    EXPECT_EQ(LanguageSettingFromLocale("de_AT@euro"), "DEA");
    EXPECT_EQ(LanguageSettingFromLocale("en-GB"), "ENG");
    EXPECT_EQ(LanguageSettingFromLocale("EN_gb"), "ENG");
    EXPECT_EQ(LanguageSettingFromLocale("ES-mx"), "es-mx");
    EXPECT_EQ(LanguageSettingFromLocale("pt-BR"), "pt-br");
}

TEST(LanguageSettingFromLocaleTest, NeutralLocalesGiveNoSetting) {
    for (const char* locale : {"C", "POSIX", "", "C.UTF-8"}) {
        EXPECT_EQ(LanguageSettingFromLocale(locale), "") << locale;
    }
}

// Whatever the locale gives must be something the language table recognises as meant.
TEST(LanguageSettingFromLocaleTest, SettingsReachTheIntendedLanguage) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"en_NZ", "ENGLISH"},    {"fr_CH", "FRENCH"},     {"de_AT", "GERMAN"},
        {"it_IT", "ITALIAN"},    {"es_ES", "SPANISH"},    {"es_PR", "SPANISH"},
        {"pt_PT", "PORTUGUESE"}, {"pt_BR", "PORTUGUESE"}, {"nl_BE", "DUTCH"},
        {"nb_NO", "NORWEGIAN"},  {"ja_JP", "ENGLISH"},
    };
    for (const auto& [locale, language] : cases) {
        EXPECT_EQ(LanguageForCode(LanguageSettingFromLocale(locale)), language) << locale;
    }
}

#ifndef _WIN32

// Saves the locale variables and puts them back afterwards, so each case starts from none set.
class LocaleEnvironmentTest : public ::testing::Test {
  protected:
    static constexpr const char* kVariables[] = {"LC_ALL", "LC_MESSAGES", "LANG"};

    void SetUp() override {
        for (const char* name : kVariables) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
    }

    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        UseAppFolder("");
        LangFunctions::ResetCatalogue();
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(LocaleEnvironmentTest, LcAllComesBeforeLcMessagesBeforeLang) {
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(CurrentLocaleName(), "de_DE.UTF-8");

    setenv("LC_MESSAGES", "fr_FR.UTF-8", 1);
    EXPECT_EQ(CurrentLocaleName(), "fr_FR.UTF-8");

    setenv("LC_ALL", "nl_BE.UTF-8", 1);
    EXPECT_EQ(CurrentLocaleName(), "nl_BE.UTF-8");
}

TEST_F(LocaleEnvironmentTest, EmptyVariablesAreSkipped) {
    setenv("LC_ALL", "", 1);
    setenv("LC_MESSAGES", "", 1);
    setenv("LANG", "it_IT.UTF-8", 1);
    EXPECT_EQ(CurrentLocaleName(), "it_IT.UTF-8");

    setenv("LANG", "", 1);
    EXPECT_EQ(CurrentLocaleName(), "");
}

TEST_F(LocaleEnvironmentTest, NoVariablesGiveNoLocale) {
    EXPECT_EQ(CurrentLocaleName(), "");
    EXPECT_EQ(ReadWinIniValue("intl", "sLanguage"), "");
}

TEST_F(LocaleEnvironmentTest, OnlyTheLanguageSettingIsKnown) {
    setenv("LANG", "fr_CA.UTF-8", 1);

    EXPECT_EQ(ReadWinIniValue("intl", "sLanguage"), "FRC");
    EXPECT_EQ(ReadWinIniValue("INTL", "SLANGUAGE"), "FRC");
    EXPECT_EQ(ReadWinIniValue("intl", "sCountry"), "");
    EXPECT_EQ(ReadWinIniValue("windows", "sLanguage"), "");
}

TEST_F(LocaleEnvironmentTest, GermanLocaleChoosesGerman) {
    setenv("LANG", "de_DE.UTF-8", 1);

    LangFunctions::DetectLanguage();

    EXPECT_EQ(LangFunctions::SystemLanguage, "DEU");
    EXPECT_EQ(LangFunctions::CurrentLanguage, "GERMAN");
}

TEST_F(LocaleEnvironmentTest, NeutralLocaleChoosesEnglish) {
    setenv("LANG", "C", 1);

    LangFunctions::DetectLanguage();

    EXPECT_EQ(LangFunctions::SystemLanguage, "");
    EXPECT_EQ(LangFunctions::CurrentLanguage, "ENGLISH");
}

TEST_F(LocaleEnvironmentTest, FirstMessageChoosesTheLanguageWhenNoneIsSet) {
    testing::TempDir dir;
    testing::WriteBytes(dir.File("lang.ini"), "[Messages]\nnumber=0\nMES0=Yes|Oui|Ja\n");
    UseAppFolder(dir.Path());
    LangFunctions::ResetCatalogue();
    setenv("LC_MESSAGES", "fr_BE.UTF-8", 1);

    EXPECT_EQ(LangFunctions::GetMessage(0), "Oui");
    EXPECT_EQ(LangFunctions::CurrentLanguage, "FRENCH");
}

#endif

}  // namespace
}  // namespace keyrack::platform
