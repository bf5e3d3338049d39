#include "lang/LanguageTable.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

#include "common/Strings.h"

namespace keyrack {
namespace {

TEST(LanguageTableTest, EveryKnownCodeGivesItsLanguageWhateverTheCaseAndSpaces) {
    const std::pair<const char*, const char*> rows[] = {
        {"ENGLISH",
         "australian,ena,english-aus,canadian,enc,english-can,english,english-nz,enz,eng,"
         "english-uk,uk,american,american english,american-english,english-american,english-us,"
         "english-usa,enu,us,usa"},
        {"FRENCH", "frb,french-belgian,frc,french-canadian,fra,french,french-swiss,frs"},
        {"GERMAN", "dea,german-austrian,deu,german,des,german-swiss,swiss"},
        {"ITALIAN", "it"},
        {"SPANISH",
         "es,es-cr,es-do,es-co,es-ar,es-cl,es-py,es-sv,es-ni,es-mx,es-gt,es-pa,es-pe,es-ve,es-ec,"
         "es-uy,es-bo,es-hn,es-pr"},
        {"DUTCH", "nl,nl-be"},
        {"PORTUGUESE", "pt,pt-br"},
        {"NORWEGIAN", "no"},
    };
    for (const auto& [language, codes] : rows) {
        std::istringstream list(codes);
        for (std::string code; std::getline(list, code, ',');) {
            EXPECT_EQ(LanguageForCode(code), language) << code;
            EXPECT_EQ(LanguageForCode("  " + ToUpperAscii(code) + " "), language) << code;
        }
    }
}

// Near misses included: other abbreviations of known languages, regions the table lacks.
TEST(LanguageTableTest, UnknownOrBlankCodesGiveEnglish) {
    for (const char* code : {"ita", "esp", "nld", "ptg", "es-es", "pt-pt", "de", "fr", "nb", "ja",
                             "french canadian", "es - mx", "", "   "}) {
        EXPECT_EQ(LanguageForCode(code), "ENGLISH") << '"' << code << '"';
    }
}

}  // namespace
}  // namespace keyrack
