#include <gtest/gtest.h>
#include <filesystem>
#include <functional>

#include "store/FileIo.h"
#include "support/FaultyFileIo.h"
#include "support/TempDir.h"

namespace keyrack::testing {
namespace {

// A copy replaces its target whole or not at all, and only its owner may read it.
TEST(FileIoTest, CopyWholeMakesAnOwnerOnlyCopyOrLeavesTheOldFileWhenAnyStepFails) {
    const std::function<void(FaultyFileIo&)> faults[] = {
        [](FaultyFileIo& io) { io.FailOn(FileOp::Read); },
        [](FaultyFileIo& io) { io.FailOn(FileOp::Create); },
        [](FaultyFileIo& io) { io.FillDiskAfter(3); },
        [](FaultyFileIo& io) { io.FailOn(FileOp::Rename); },
        [](FaultyFileIo&) {},
    };
    for (const auto& fault : faults) {
        TempDir dir;
        const std::string source = dir.File("cli.rkd");
        const std::string target = dir.File("cli2.rkd");
        WriteBytes(source, std::string("the new\0and longer content", 27));
        WriteBytes(target, "old backup");
        WriteBytes(target + ".tmp", "left by a crash");
        FaultyFileIo io;
        fault(io);
        const IoResult copied = CopyWhole(io, source, target);
        EXPECT_EQ(copied.reason.empty(), copied.ok);
        EXPECT_EQ(ReadBytes(target), copied ? ReadBytes(source) : "old backup");
        EXPECT_TRUE(!copied || FileMode(target) == 0600u);
        // No part of a copy stays behind.
        const std::string temporary = target + ".tmp";
        EXPECT_TRUE(!std::filesystem::exists(temporary) ||
                    ReadBytes(temporary) == "left by a crash");
    }
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
