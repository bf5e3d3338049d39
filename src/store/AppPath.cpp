#include "store/AppPath.h"

#include <filesystem>

#include "platform/ExecutableFolder.h"

namespace keyrack {

std::string App_Path;

namespace {

constexpr char kCatalogueFile[] = "lang.ini";

ProgramPlaces& ChosenPlaces() {
    static ProgramPlaces places;
    return places;
}

const std::string& OrExecutableFolder(const std::string& folder) {
    static const std::string executableFolder = platform::ExecutableFolder();
    return folder.empty() ? executableFolder : folder;
}

}  // namespace

std::string WithTrailingSeparator(const std::string& folder) {
    std::string result = folder;
    if (result.empty() || result.back() != platform::kPathSeparator) {
        result += platform::kPathSeparator;
    }
    return result;
}

ProgramPlaces LocatePlaces(const std::string& executableFolder, const std::string& userDataFolder) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_regular_file(fs::path(executableFolder) / kCatalogueFile, error)) {
        return {executableFolder, executableFolder};
    }
    const fs::path prefix = fs::path(executableFolder).parent_path();
    // With the default prefix ~/.local this is also the catalogue's folder, made by the
    // install for everyone to read; the data files' folder is the owner's alone either way.
    fs::create_directories(userDataFolder, error);
    fs::permissions(userDataFolder, fs::perms::owner_all, fs::perm_options::replace, error);
    return {userDataFolder, (prefix / "share" / "keyrack").string()};
}

void UsePlaces(const ProgramPlaces& places) {
    ChosenPlaces() = places;
}

void UseAppFolder(const std::string& folder) {
    UsePlaces({folder, folder});
}

std::string GetAppPath() {
    App_Path = WithTrailingSeparator(OrExecutableFolder(ChosenPlaces().dataFolder));
    return App_Path;
}

std::string CataloguePath() {
    return WithTrailingSeparator(OrExecutableFolder(ChosenPlaces().catalogueFolder)) +
           kCatalogueFile;
}

}  // namespace keyrack
