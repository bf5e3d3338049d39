#include <gtest/gtest.h>
#include <filesystem>

#include "store/AppPath.h"
#include "store/FileIo.h"
#include "support/FaultyFileIo.h"
#include "support/TempDir.h"

namespace keyrack::testing {
namespace {

// A copy replaces its target whole or not at all, and only its owner may read it. Every file
// written whole (a rewrite, a backup, the copy an old file leaves) goes the same way.
TEST(FileIoTest, CopyWholeMakesAnOwnerOnlyCopyOrLeavesTheOldFileWhenAnyStepFails) {
    // The calls that fail and the space left on the disk (negative: enough). The system's copy
    // failing, the bytes are read and written instead.
    const std::pair<std::vector<FileOp>, long long> faults[] = {
        {{FileOp::Copy}, -1},
        {{FileOp::Copy, FileOp::Read}, -1},
        {{FileOp::Copy, FileOp::Create}, -1},
        {{}, 3},
        {{FileOp::Rename}, -1},
        {{}, -1}};
    for (const auto& [failing, spaceLeft] : faults) {
        TempDir dir;
        const std::string source = dir.File("cli.rkd");
        const std::string target = dir.File("cli2.rkd");
        WriteBytes(source, std::string("the new\0and longer content", 27));
        WriteBytes(target, "old backup");
        WriteBytes(target + ".tmp", "the user's own file");
        FaultyFileIo io;
        for (const FileOp op : failing) {
            io.FailOn(op);
        }
        io.FillDiskAfter(spaceLeft);
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

// Installed, the data goes to the user's folder and the catalogue comes from share; with the
// catalogue beside the executable everything stays there.
TEST(PlacesTest, DataAndCatalogueGoWhereTheInstallationSays) {
    namespace fs = std::filesystem;
    TempDir root;
    const std::string bin = root.File("prefix/bin");
    const std::string share = root.File("prefix/share/keyrack");
    const std::string data = root.File("home/data/keyrack");
    for (const std::string& folder : {bin, share, data}) {
        fs::create_directories(folder);
    }
    fs::permissions(data, fs::perms::all);
    const ProgramPlaces places = LocatePlaces(bin, data);
    EXPECT_EQ(places.dataFolder, data);
    EXPECT_EQ(fs::path(places.catalogueFolder), fs::path(share));
    EXPECT_EQ(FileMode(data), 0700u);
    UsePlaces(places);
    EXPECT_EQ(GetAppPath(), data + "/");
    EXPECT_EQ(fs::path(CataloguePath()), fs::path(share) / "lang.ini");

    WriteBytes(bin + "/lang.ini", "[Messages]\n");
    const ProgramPlaces portable = LocatePlaces(bin, root.File("elsewhere"));
    EXPECT_EQ(portable.dataFolder + portable.catalogueFolder, bin + bin);
    EXPECT_FALSE(fs::exists(root.File("elsewhere")));
    // A folder given is taken exactly as named.
    for (const std::string& folder : {root.File("name "), root.File("x/")}) {
        UseAppFolder(folder);
        const std::string expected = folder.back() == '/' ? folder : folder + "/";
        EXPECT_EQ(GetAppPath(), expected);
        EXPECT_EQ(CataloguePath(), expected + "lang.ini");
    }
    UseAppFolder("");
}

}  // namespace
}  // namespace keyrack::testing
