#include <gtest/gtest.h>
#include <filesystem>

#include "store/AppPath.h"
#include "support/TempDir.h"

namespace keyrack::testing {
namespace {

namespace fs = std::filesystem;

class PlacesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(bin);
        fs::create_directories(share);
    }
    void TearDown() override { UseAppFolder(""); }

    TempDir root;
    std::string bin = root.File("prefix/bin");
    std::string share = root.File("prefix/share/keyrack");
    std::string data = root.File("home/data/keyrack");
};

// Installed, the data goes to the user's folder and the catalogue comes from share; with the
// catalogue beside the executable everything stays there.
TEST_F(PlacesTest, DataAndCatalogueGoWhereTheInstallationSays) {
    fs::create_directories(data);
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
}

}  // namespace
}  // namespace keyrack::testing
