#include <gtest/gtest.h>
#include <filesystem>
#include <functional>

#include "store/FileIo.h"
#include "support/FaultyFileIo.h"
#include "support/TempDir.h"

namespace keyrack::testing {
namespace {

TEST(FileIoTest, ReplaceWholeLeavesTheOldFileWhenAnyStepFails) {
    const std::function<void(FaultyFileIo&)> faults[] = {
        [](FaultyFileIo& io) { io.FailOn(FileOp::Create); },
        [](FaultyFileIo& io) { io.FillDiskAfter(3); },
        [](FaultyFileIo& io) { io.FailOn(FileOp::Rename); },
    };
    for (const auto& fault : faults) {
        TempDir dir;
        const std::string target = dir.File("cli2.rkd");
        WriteBytes(target, "old backup");
        FaultyFileIo io;
        fault(io);
        WriteBytes(target + ".tmp", "the user's own file");
        EXPECT_FALSE(ReplaceWhole(io, target, "the new and longer content"));
        EXPECT_EQ(ReadBytes(target), "old backup");
        EXPECT_EQ(ReadBytes(target + ".tmp"), "the user's own file");
        const std::filesystem::directory_iterator files(
            std::filesystem::path(target).parent_path());
        EXPECT_EQ(std::distance(begin(files), end(files)), 2);
    }
}

TEST(FileIoTest, CopyWholeMakesAnOwnerOnlyCopyAndStopsOnAFailedRead) {
    TempDir dir;
    const std::string source = dir.File("cli.rkd");
    const std::string target = dir.File("cli2.rkd");
    WriteBytes(source, std::string("data\0file", 9));
    WriteBytes(dir.File("cli2.rkd.tmp"), "left by a crash");  // or the user's own

    FaultyFileIo io;
    ASSERT_TRUE(CopyWhole(io, source, target));
    EXPECT_EQ(ReadBytes(target), ReadBytes(source));
    EXPECT_EQ(ReadBytes(dir.File("cli2.rkd.tmp")), "left by a crash");
    EXPECT_EQ(FileMode(target), 0600u);

    WriteBytes(source, "changed");
    io.FailOn(FileOp::Read);
    const IoResult failed = CopyWhole(io, source, target);
    EXPECT_FALSE(failed);
    EXPECT_FALSE(failed.reason.empty());
    EXPECT_EQ(ReadBytes(target), std::string("data\0file", 9));
}

TEST(FileIoTest, WritesNeverCreateAFileAndIdentityFollowsReplacement) {
    TempDir dir;
    const std::string path = dir.File("cli.rkd");
    FileIo& io = SystemFileIo();
    EXPECT_FALSE(io.WriteAt(path, 0, "x"));
    EXPECT_FALSE(io.Exists(path));
    std::string content;
    EXPECT_FALSE(io.ReadAll(path, content));

    WriteBytes(path, "abcdef");
    const FileIdentity loaded = io.Identity(path);
    ASSERT_TRUE(io.WriteAt(path, 2, "XY"));
    ASSERT_TRUE(io.Resize(path, 5));
    ASSERT_TRUE(io.ReadAll(path, content));
    EXPECT_EQ(content, "abXYe");
    EXPECT_EQ(io.Identity(path), loaded);
    ASSERT_TRUE(ReplaceWhole(io, path, "new"));
    EXPECT_NE(io.Identity(path), loaded);
}

}  // namespace
}  // namespace keyrack::testing
