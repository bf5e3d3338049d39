#include "lang/LanguageTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Strings.h"

namespace keyrack {
namespace {

struct ExpectedRow {
    std::string language;
    std::vector<std::string> codes;
};

const std::vector<ExpectedRow> kExpectedRows = {
    {"ENGLISH",
     {"australian",
      "ena",
      "english-aus",
      "canadian",
      "enc",
      "english-can",
      "english",
      "english-nz",
      "enz",
      "eng",
      "english-uk",
      "uk",
      "american",
      "american english",
      "american-english",
      "english-american",
      "english-us",
      "english-usa",
      "enu",
      "us",
      "usa"}},
    {"FRENCH",
     {"frb", "french-belgian", "frc", "french-canadian", "fra", "french", "french-swiss", "frs"}},
    {"GERMAN", {"dea", "german-austrian", "deu", "german", "des", "german-swiss", "swiss"}},
    {"ITALIAN", {"it"}},
    {"SPANISH",
     {"es", "es-cr", "es-do", "es-co", "es-ar", "es-cl", "es-py", "es-sv", "es-ni", "es-mx",
      "es-gt", "es-pa", "es-pe", "es-ve", "es-ec", "es-uy", "es-bo", "es-hn", "es-pr"}},
    {"DUTCH", {"nl", "nl-be"}},
    {"PORTUGUESE", {"pt", "pt-br"}},
    {"NORWEGIAN", {"no"}},
};

TEST(LanguageTableTest, EveryKnownCodeGivesItsLanguage) {
    for (const ExpectedRow& row : kExpectedRows) {
        for (const std::string& code : row.codes) {
            EXPECT_EQ(LanguageForCode(code), row.language) << "code \"" << code << "\"";
        }
    }
}

TEST(LanguageTableTest, CodesMatchWhateverTheirCaseAndSurroundingSpaces) {
    for (const ExpectedRow& row : kExpectedRows) {
        for (const std::string& code : row.codes) {
            EXPECT_EQ(LanguageForCode(ToUpperAscii(code)), row.language)
                << "code \"" << code << "\"";
            EXPECT_EQ(LanguageForCode("  " + code + " "), row.language)
                << "code \"" << code << "\"";
        }
    }
    EXPECT_EQ(LanguageForCode("Es-Mx"), "SPANISH");
}

// Includes near misses: other abbreviations, regions the table lacks, inner spaces.
TEST(LanguageTableTest, UnknownCodesGiveEnglish) {
    for (const char* code :
         {"ita", "esp", "nld", "nor", "ptg", "es-es", "pt-pt", "nl-nl", "de", "fr", "nb", "ja",
          "french canadian", "english-", "e", "es - mx", "fr a"}) {
        EXPECT_EQ(LanguageForCode(code), "ENGLISH") << "code \"" << code << "\"";
    }
}

TEST(LanguageTableTest, BlankSettingGivesEnglish) {
    EXPECT_EQ(LanguageForCode(""), "ENGLISH");
    EXPECT_EQ(LanguageForCode("   "), "ENGLISH");
}

}  // namespace
}  // namespace keyrack
