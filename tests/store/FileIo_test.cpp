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
        // The system's copy failing, the bytes are read and written instead.
        [](FaultyFileIo& io) { io.FailOn(FileOp::Copy); },
        [](FaultyFileIo& io) {
            io.FailOn(FileOp::Copy);
            io.FailOn(FileOp::Read);
        },
        [](FaultyFileIo& io) {
            io.FailOn(FileOp::Copy);
            io.FailOn(FileOp::Create);
        },
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
        WriteBytes(target + ".tmp", "the user's own file");
        FaultyFileIo io;
        fault(io);
        const IoResult copied = CopyWhole(io, source, target);
        EXPECT_EQ(copied.reason.empty(), copied.ok);
        EXPECT_EQ(ReadBytes(target), copied ? ReadBytes(source) : "old backup");
        EXPECT_TRUE(!copied || FileMode(target) == 0600u);
        // No part of a copy stays behind, and a file the user named like one is left alone.
        EXPECT_EQ(ReadBytes(target + ".tmp"), "the user's own file");
        const std::filesystem::directory_iterator files(dir.Path());
        EXPECT_EQ(std::distance(begin(files), end(files)), 3);
    }
}

// A file that is not there is known to be missing; a write never creates it. (A file replaced
// or rewritten meanwhile is told by the store's tests.)
TEST(FileIoTest, WritesNeverCreateAFileAndAMissingOneIsKnownToBeMissing) {
    TempDir dir;
    const std::string path = dir.File("cli.rkd");
    FileIo& io = SystemFileIo();
    EXPECT_FALSE(io.WriteAt(path, 0, "x"));
    WriteBytes(dir.File("file"), "");
    for (const std::string& missing : {path, dir.File("file/inside")}) {
        const FileIdentity identity = io.Identity(missing);
        EXPECT_FALSE(identity.exists);
        EXPECT_EQ(identity.unknownBecause, "") << missing;
    }
}

}  // namespace
}  // namespace keyrack::testing
