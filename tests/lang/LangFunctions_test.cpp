#include "lang/LangFunctions.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>

#include "store/AppPath.h"
#include "support/TempDir.h"

namespace keyrack {
namespace {

namespace lang = LangFunctions;

class LangFunctionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        UseAppFolder(dir_.Path());
        Reset();
    }

    void TearDown() override {
        UseAppFolder("");
        lang::ResetCatalogue();
    }

    // Fixes the language so that the desktop's locale plays no part.
    void Reset() {
        lang::ResetCatalogue();
        lang::CurrentLanguage = "ENGLISH";
    }

    void WriteCatalogue(const std::string& lines) {
        testing::WriteBytes(dir_.File("lang.ini"), "[Messages]\n" + lines);
    }

    testing::TempDir dir_;
};

TEST_F(LangFunctionsTest, EachLanguageReadsItsFieldAndFallsBackToEnglish) {
    WriteCatalogue(
        "number=5\n"
        "MES0=Open|Ouvrir|Offnen|Apri|Abrir (pt)|Abrir (es)|Openen|Apne|ninth\n"
        "MES1=Save|Enregistrer\n"
        "MES2=Close||Schliessen\n"
        "MES3=Alone\n"
        "MES4=Name: |Nom : |Name:\n");
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
        {101, "|||||||"},
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
    EXPECT_TRUE(lang::MessagesLoaded);
}

TEST_F(LangFunctionsTest, BrokenCatalogueGivesEmptyTextAndIsReadAgainOnceFixed) {
    std::string lines;
    for (int i = 0; i <= 150; ++i) {
        lines += "MES" + std::to_string(i) + "=text " + std::to_string(i) + "\n";
    }
    // The catalogue's count line (none: no catalogue at all) and the text of message 0.
    const std::pair<const char*, const char*> cases[] = {{nullptr, ""},
                                                         {"", ""},
                                                         {"number=abc\n", ""},
                                                         {"number=150\n", ""},
                                                         {"number=0\n", "text 0"}};
    for (const auto& [countLine, first] : cases) {
        SCOPED_TRACE(countLine ? countLine : "no file");
        Reset();
        std::remove(dir_.File("lang.ini").c_str());
        if (countLine) {
            WriteCatalogue(countLine + lines);
        }
        EXPECT_EQ(lang::GetMessage(0), first);
        EXPECT_EQ(lang::GetMessage(100), "");
        if (!lang::MessagesLoaded) {
            WriteCatalogue("number=100\n" + lines);
            EXPECT_EQ(lang::GetMessage(100), "text 100");
        }
    }
}

}  // namespace
}  // namespace keyrack
