#include "lang/ProfileFile.h"

#include <gtest/gtest.h>

#include <string>

#include "support/TempDir.h"

namespace keyrack {
namespace {

class ProfileFileTest : public ::testing::Test {
  protected:
    std::string WriteIni(const std::string& text) {
        const std::string path = dir_.File("test.ini");
        testing::WriteBytes(path, text);
        return path;
    }

    testing::TempDir dir_;
};

TEST_F(ProfileFileTest, NamesMatchWhateverTheirCaseAndSurroundingSpaces) {
    const std::string path = WriteIni("[  MeSsAgEs ]\n  Number  = 12\n");

    EXPECT_EQ(ReadIniValue("messages", "NUMBER", path), "12");
    EXPECT_EQ(ReadIniValue("MESSAGES", "number", path), "12");
    EXPECT_EQ(ReadIniValue(" Messages ", " number ", path), "12");
}

TEST_F(ProfileFileTest, ValueIsTrimmedOfSpacesAndTabsButKeepsInnerText) {
    const std::string path = WriteIni(
        "[S]\n"
        "padded = \t two  words \t \n"
        "formula = a=b = c\n"
        "empty =\n");

    EXPECT_EQ(ReadIniValue("S", "padded", path), "two  words");
    EXPECT_EQ(ReadIniValue("S", "formula", path), "a=b = c");
    EXPECT_EQ(ReadIniValue("S", "empty", path), "");
}

TEST_F(ProfileFileTest, OnePairOfEnclosingQuotesIsRemoved) {
    const std::string path = WriteIni(
        "[S]\n"
        "spaced = \"  kept  \"\n"
        "doubled = \"\"inner\"\"\n"
        "pair = \"\"\n"
        "lone = \"\n"
        "open = \"unfinished\n"
        "middle = say \"hi\" there\n");

    EXPECT_EQ(ReadIniValue("S", "spaced", path), "  kept  ");
    EXPECT_EQ(ReadIniValue("S", "doubled", path), "\"inner\"");
    EXPECT_EQ(ReadIniValue("S", "pair", path), "");
    EXPECT_EQ(ReadIniValue("S", "lone", path), "\"");
    EXPECT_EQ(ReadIniValue("S", "open", path), "\"unfinished");
    EXPECT_EQ(ReadIniValue("S", "middle", path), "say \"hi\" there");
}

TEST_F(ProfileFileTest, CommentLinesAreSkipped) {
    const std::string path = WriteIni(
        "[S]\n"
        ";key = from a comment\n"
        "  \t; key = indented comment\n"
        "key = real ; not a comment here\n");

    EXPECT_EQ(ReadIniValue("S", "key", path), "real ; not a comment here");
    EXPECT_EQ(ReadIniValue("S", ";key", path), "");
}

TEST_F(ProfileFileTest, KeysBelongToTheirOwnSection) {
    const std::string path = WriteIni(
        "key = before any section\n"
        "[First]\n"
        "key = first\n"
        "[Second]\n"
        "other = second\n");

    EXPECT_EQ(ReadIniValue("First", "key", path), "first");
    EXPECT_EQ(ReadIniValue("Second", "key", path), "");
    EXPECT_EQ(ReadIniValue("First", "other", path), "");
}

TEST_F(ProfileFileTest, FirstMatchingKeyWinsAndSectionsMayContinueLater) {
    const std::string path = WriteIni(
        "[S]\n"
        "dup = first\n"
        "DUP = second\n"
        "[Other]\n"
        "late = wrong section\n"
        "[s]\n"
        "late = continued\n"
        "dup = third\n");

    EXPECT_EQ(ReadIniValue("S", "dup", path), "first");
    EXPECT_EQ(ReadIniValue("S", "late", path), "continued");
}

TEST_F(ProfileFileTest, MissingFileSectionOrKeyGivesEmptyText) {
    const std::string path = WriteIni("[S]\nkey = value\n");

    EXPECT_EQ(ReadIniValue("S", "key", dir_.File("absent.ini")), "");
    EXPECT_EQ(ReadIniValue("Absent", "key", path), "");
    EXPECT_EQ(ReadIniValue("S", "absent", path), "");
    EXPECT_EQ(ReadIniValue("S", "key", WriteIni("")), "");
}

TEST_F(ProfileFileTest, LongValueIsCutToOneLessThanTheSize) {
    const std::string path = WriteIni("[S]\nlong = " + std::string(1200, 'x') + "\n");

    EXPECT_EQ(ReadIniValue("S", "long", path), std::string(999, 'x'));
    EXPECT_EQ(ReadIniValue("S", "long", path, 11), std::string(10, 'x'));
    EXPECT_EQ(ReadIniValue("S", "long", path, 1), "");
    EXPECT_EQ(ReadIniValue("S", "long", path, 0), "");
}

TEST_F(ProfileFileTest, CutCountsCodePointsAndNeverSplitsOne) {
    const std::string eAcute = "\xC3\xA9";
    const std::string euro = "\xE2\x82\xAC";
    std::string value;
    for (int i = 0; i < 600; ++i) {
        value += eAcute + euro;
    }
    const std::string path = WriteIni("[S]\nwide = " + value + "\n");

    std::string expected;
    for (int i = 0; i < 499; ++i) {
        expected += eAcute + euro;
    }
    expected += eAcute;
    EXPECT_EQ(ReadIniValue("S", "wide", path), expected);
    EXPECT_EQ(ReadIniValue("S", "wide", path, 3), eAcute + euro);
}

TEST_F(ProfileFileTest, AcceptsWindowsLineEndingsAndByteOrderMark) {
    const std::string path = WriteIni(
        "\xEF\xBB\xBF[S]\r\n"
        "key = value\r\n"
        "quoted = \"q\"\r\n"
        "last = no newline");

    EXPECT_EQ(ReadIniValue("S", "key", path), "value");
    EXPECT_EQ(ReadIniValue("S", "quoted", path), "q");
    EXPECT_EQ(ReadIniValue("S", "last", path), "no newline");
}

}  // namespace
}  // namespace keyrack
