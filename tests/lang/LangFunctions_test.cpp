#include "lang/LangFunctions.h"

#include <gtest/gtest.h>

#include <string>

#include "store/AppPath.h"
#include "support/TempDir.h"

namespace keyrack {
namespace {

namespace lang = LangFunctions;

class LangFunctionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        UseAppFolder(dir_.Path());
        lang::ResetCatalogue();
        lang::CurrentLanguage = "ENGLISH";
    }

    void TearDown() override {
        UseAppFolder("");
        lang::ResetCatalogue();
    }

    // A catalogue whose [Messages] section holds exactly the given lines.
    void WriteCatalogue(const std::string& lines) {
        testing::WriteBytes(dir_.File("lang.ini"), "[Messages]\n" + lines);
    }

    std::string MessageIn(const std::string& language, int number) {
        lang::CurrentLanguage = language;
        return lang::GetMessage(number);
    }

    testing::TempDir dir_;
};

constexpr char kEightLanguages[] =
    "MES0=Open|Ouvrir|Offnen|Apri|Abrir (pt)|Abrir (es)|Openen|Apne\n";

TEST_F(LangFunctionsTest, EachLanguageReadsItsOwnField) {
    WriteCatalogue(std::string("number=0\n") + kEightLanguages);

    EXPECT_EQ(MessageIn("ENGLISH", 0), "Open");
    EXPECT_EQ(MessageIn("FRENCH", 0), "Ouvrir");
    EXPECT_EQ(MessageIn("GERMAN", 0), "Offnen");
    EXPECT_EQ(MessageIn("ITALIAN", 0), "Apri");
    EXPECT_EQ(MessageIn("PORTUGUESE", 0), "Abrir (pt)");
    EXPECT_EQ(MessageIn("SPANISH", 0), "Abrir (es)");
    EXPECT_EQ(MessageIn("DUTCH", 0), "Openen");
    EXPECT_EQ(MessageIn("NORWEGIAN", 0), "Apne");
}

TEST_F(LangFunctionsTest, LanguageNameIsTrimmedAndCaseInsensitiveAndUnknownMeansEnglish) {
    WriteCatalogue(std::string("number=0\n") + kEightLanguages);

    EXPECT_EQ(MessageIn("  dutch ", 0), "Openen");
    EXPECT_EQ(MessageIn("Spanish", 0), "Abrir (es)");
    EXPECT_EQ(MessageIn("KLINGON", 0), "Open");
}

TEST_F(LangFunctionsTest, FieldsBeyondTheEighthAreIgnored) {
    WriteCatalogue("number=0\nMES0=en|fr|de|it|pt|es|nl|no|ninth|tenth\n");

    EXPECT_EQ(MessageIn("NORWEGIAN", 0), "no");
    for (const auto& column : lang::MessageTexts) {
        EXPECT_NE(column[0], "ninth");
    }
}

TEST_F(LangFunctionsTest, MissingTranslationFallsBackToEnglish) {
    WriteCatalogue(
        "number=2\n"
        "MES0=Save|Enregistrer\n"
        "MES1=Close||Schliessen\n"
        "MES2=Only English\n");

    EXPECT_EQ(MessageIn("FRENCH", 0), "Enregistrer");
    EXPECT_EQ(MessageIn("GERMAN", 0), "Save");
    EXPECT_EQ(MessageIn("FRENCH", 1), "Close");
    EXPECT_EQ(MessageIn("GERMAN", 1), "Schliessen");
    EXPECT_EQ(MessageIn("ITALIAN", 2), "Only English");
    EXPECT_EQ(MessageIn("ENGLISH", 2), "Only English");
}

TEST_F(LangFunctionsTest, BlankTranslationFallsBackToEnglish) {
    WriteCatalogue("number=0\nMES0=Yes|   |Ja\n");

    EXPECT_EQ(MessageIn("FRENCH", 0), "Yes");
}

TEST_F(LangFunctionsTest, SpacesInsideTheLineAreKept) {
    WriteCatalogue("number=0\nMES0=Name: |Nom : |Name:\n");

    EXPECT_EQ(MessageIn("ENGLISH", 0), "Name: ");
    EXPECT_EQ(MessageIn("FRENCH", 0), "Nom : ");
    EXPECT_EQ(MessageIn("GERMAN", 0), "Name:");
}

TEST_F(LangFunctionsTest, NumbersOutsideTheCatalogueGiveEmptyText) {
    WriteCatalogue(std::string("number=0\n") + kEightLanguages);

    EXPECT_EQ(lang::GetMessage(101), "");
    EXPECT_EQ(lang::GetMessage(-1), "");
    EXPECT_EQ(lang::GetMessage(0), "Open");
}

TEST_F(LangFunctionsTest, MissingMessageLineGivesEmptyText) {
    WriteCatalogue("number=2\nMES0=zero\nMES2=two\n");

    EXPECT_EQ(lang::GetMessage(1), "");
    EXPECT_EQ(lang::GetMessage(2), "two");
    EXPECT_TRUE(lang::MessagesLoaded);
}

TEST_F(LangFunctionsTest, CountOfZeroReadsOnlyMessageZero) {
    WriteCatalogue("number=0\nMES0=zero\nMES1=one\n");

    EXPECT_EQ(lang::GetMessage(0), "zero");
    EXPECT_EQ(lang::GetMessage(1), "");
}

TEST_F(LangFunctionsTest, NegativeCountLoadsNothingYetCountsAsLoaded) {
    WriteCatalogue("number=-1\nMES0=zero\n");

    EXPECT_EQ(lang::GetMessage(0), "");
    EXPECT_TRUE(lang::MessagesLoaded);
}

TEST_F(LangFunctionsTest, MissingCatalogueGivesEmptyTextAndIsLookedForAgain) {
    EXPECT_EQ(lang::GetMessage(0), "");
    EXPECT_FALSE(lang::MessagesLoaded);

    WriteCatalogue("number=0\nMES0=found\n");
    EXPECT_EQ(lang::GetMessage(0), "found");
    EXPECT_TRUE(lang::MessagesLoaded);
}

TEST_F(LangFunctionsTest, CatalogueWithoutUsableCountLoadsNothing) {
    for (const std::string countLine :
         {"", "number=\n", "number=abc\n", "number=.5\n", "number=- 3\n", "count=3\n"}) {
        SCOPED_TRACE(countLine);
        lang::ResetCatalogue();
        lang::CurrentLanguage = "ENGLISH";
        WriteCatalogue(countLine + "MES0=zero\n");

        EXPECT_EQ(lang::GetMessage(0), "");
        EXPECT_FALSE(lang::MessagesLoaded);
        EXPECT_EQ(lang::MessageTexts[lang::kEnglish][0], "");
    }
}

TEST_F(LangFunctionsTest, CountBeyondTheCatalogueFailsEveryLookupUntilFixed) {
    std::string lines;
    for (int i = 0; i <= 150; ++i) {
        lines += "MES" + std::to_string(i) + "=text " + std::to_string(i) + "\n";
    }
    WriteCatalogue("number=150\n" + lines);

    EXPECT_EQ(lang::GetMessage(0), "");
    EXPECT_EQ(lang::GetMessage(100), "");
    EXPECT_FALSE(lang::MessagesLoaded);

    WriteCatalogue("number=100\n" + lines);
    EXPECT_EQ(lang::GetMessage(100), "text 100");
    EXPECT_TRUE(lang::MessagesLoaded);
}

TEST_F(LangFunctionsTest, ResetEmptiesTheCatalogueAndForgetsTheLanguage) {
    WriteCatalogue(std::string("number=0\n") + kEightLanguages);
    ASSERT_EQ(lang::GetMessage(0), "Open");
    lang::SystemLanguage = "ENU";

    lang::ResetCatalogue();

    EXPECT_FALSE(lang::MessagesLoaded);
    EXPECT_EQ(lang::CurrentLanguage, "");
    EXPECT_EQ(lang::SystemLanguage, "");
    for (const auto& column : lang::MessageTexts) {
        for (const std::string& text : column) {
            EXPECT_EQ(text, "");
        }
    }
}

}  // namespace
}  // namespace keyrack
