#include "lang/LangFunctions.h"
#include "store/AppPath.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

using PlacesFormTest = FormFixture;

// An installed program: no catalogue beside the executable's folder, the data in the user's
// folder, the catalogue in the prefix's share folder.
TEST_F(PlacesFormTest, InstalledProgramKeepsItsDataInTheUsersFolder) {
    namespace fs = std::filesystem;
    const std::string share = dir.File("prefix/share/keyrack");
    const std::string data = dir.File("data");
    fs::create_directories(share);
    fs::create_directories(dir.File("prefix/bin"));
    fs::rename(dir.File("lang.ini"), share + "/lang.ini");
    UsePlaces(LocatePlaces(dir.File("prefix/bin"), data));
    Start();
    EXPECT_TRUE(LangFunctions::MessagesLoaded);
    EXPECT_EQ(S().DataFilePath, data + "/cli.rkd");
    EXPECT_GT(fs::file_size(data + "/cli.rkd"), 0u);
    EXPECT_FALSE(fs::exists(dir.File("cli.rkd")));
}

}  // namespace
}  // namespace keyrack::testing
