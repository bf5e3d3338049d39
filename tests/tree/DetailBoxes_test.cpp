#include "tree/DetailBoxes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "common/Strings.h"
#include "platform/DesktopOpening.h"
#include "support/TempDir.h"

namespace keyrack {
namespace {

TEST(DetailBoxesTest, TitlesLoseTheirLineBreaksAndFieldsTheirNuls) {
    struct Case {
        std::string title;
        std::string flat;
    };
    for (const Case& c :
         {Case{"  a\nb\n", "a b"}, Case{"a\rb", "a b"}, Case{"a\r\n\r\nb", "a  b"}}) {
        EXPECT_EQ(FlattenTitle(c.title), c.flat) << c.title;
    }
    EXPECT_EQ(ReplaceChar(std::string(" a\0b\0 ", 7), '\0', ""), "ab");
    EXPECT_TRUE(IsBlankOrLineBreaks(" \t\r\n"));
    EXPECT_FALSE(IsBlankOrLineBreaks("\n.\n"));
}

TEST(DesktopOpeningTest, ProgramsStartFilesAndFoldersOpenTheRestIsAnAddress) {
    using Kind = platform::Opening::Kind;
    testing::TempDir dir;
    testing::WriteBytes(dir.File("tool"), "#!/bin/sh\n");
    ASSERT_EQ(chmod(dir.File("tool").c_str(), 0700), 0);
    testing::WriteBytes(dir.File("notes.txt"), "x");
    std::filesystem::create_directory(dir.File("docs"));
    struct Case {
        std::string target;
        Kind kind;
        std::string opened;
    };
    const Case cases[] = {
        {dir.File("tool"), Kind::StartProgram, dir.File("tool")},
        {"tool", Kind::StartProgram, dir.File("tool")},  // beside the working folder
        {dir.File("notes.txt"), Kind::OpenFile, dir.File("notes.txt")},
        {dir.File("docs"), Kind::OpenFile, dir.File("docs")},
        {"www.example.org", Kind::OpenAddress, "www.example.org"},
        {" https://example.org/a b; rm x", Kind::OpenAddress, " https://example.org/a b; rm x"},
    };
    for (const Case& c : cases) {
        const platform::Opening opening = platform::ChooseOpening(c.target, dir.Path());
        EXPECT_EQ(opening.kind, c.kind) << c.target;
        EXPECT_EQ(opening.target, c.opened) << c.target;
    }
}

}  // namespace
}  // namespace keyrack
