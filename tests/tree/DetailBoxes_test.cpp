#include "tree/DetailBoxes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <tuple>

#include "common/Strings.h"
#include "platform/DesktopOpening.h"
#include "support/TempDir.h"

namespace keyrack {
namespace {

TEST(DetailBoxesTest, TitlesLoseTheirLineBreaksAndFieldsTheirNuls) {
    EXPECT_EQ(FlattenTitle("  a\nb\n") + "|" + FlattenTitle("a\rb"), "a b|a b");
    EXPECT_EQ(FlattenTitle("a\r\n\r\nb"), "a  b");
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
    const std::tuple<std::string, Kind, std::string> cases[] = {
        {dir.File("tool"), Kind::StartProgram, dir.File("tool")},
        {"tool", Kind::StartProgram, dir.File("tool")},  // beside the working folder
        {dir.File("notes.txt"), Kind::OpenFile, dir.File("notes.txt")},
        {dir.File("docs"), Kind::OpenFile, dir.File("docs")},
        {"www.example.org", Kind::OpenAddress, "www.example.org"},
        {" https://example.org/a b; rm x", Kind::OpenAddress, " https://example.org/a b; rm x"},
    };
    for (const auto& [target, kind, opened] : cases) {
        const platform::Opening opening = platform::ChooseOpening(target, dir.Path());
        EXPECT_EQ(opening.kind, kind) << target;
        EXPECT_EQ(opening.target, opened) << target;
    }
}

}  // namespace
}  // namespace keyrack
