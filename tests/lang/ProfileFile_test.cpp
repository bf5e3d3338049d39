#include "lang/ProfileFile.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "support/TempDir.h"

namespace keyrack {
namespace {

TEST(ProfileFileTest, ReadsValuesTheWayTheCatalogueIsWritten) {
    const std::string text =
        "key = before any section\n"
        "[  MeSsAgEs ]\n"
        "  Number  = 12\n"
        "padded = \t two  words \t \n"
        "formula = a=b = c\n"
        "spaced = \"  kept  \"\n"
        "doubled = \"\"inner\"\"\n"
        "  ;hidden = from a comment\n"
        "semi = real ; not a comment\n"
        "dup = first\n"
        "DUP = second\n"
        "[Other]\n"
        "late = wrong section\n"
        "[messages]\n"
        "late = continued\r\n";
    const std::string x(1200, 'x');
    testing::TempDir dir;
    const std::string path = dir.File("test.ini");
    testing::WriteBytes(path, text + "long = " + x + "\nwide = " + x + "\xC3\xA9\xC3\xA9\n");

    const std::pair<const char*, std::string> cases[] = {
        {"NUMBER", "12"},
        {" number ", "12"},
        {"padded", "two  words"},
        {"formula", "a=b = c"},
        {"spaced", "  kept  "},
        {"doubled", "\"inner\""},
        {";hidden", ""},
        {"semi", "real ; not a comment"},
        {"dup", "first"},
        {"late", "continued"},
        {"key", ""},
        {"absent", ""},
        {"long", std::string(999, 'x')},
    };
    for (const auto& [key, expected] : cases) {
        EXPECT_EQ(ReadIniValue(" MESSAGES ", key, path), expected) << key;
    }
    EXPECT_EQ(ReadIniValue("Messages", "long", path, 11), std::string(10, 'x'));
    EXPECT_EQ(ReadIniValue("Messages", "long", path, 0), "");
    // The cut counts characters, so a two-byte letter is either whole or left out.
    EXPECT_EQ(ReadIniValue("Messages", "wide", path, 1202), x + "\xC3\xA9");
    EXPECT_EQ(ReadIniValue("Absent", "number", path), "");
    EXPECT_EQ(ReadIniValue("Messages", "number", dir.File("absent.ini")), "");
}

}  // namespace
}  // namespace keyrack
