#include "platform/DesktopOpening.h"

#include <filesystem>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace keyrack::platform {

namespace {

bool MayRun(const std::filesystem::path& path, const std::filesystem::file_status& status) {
    if (!std::filesystem::is_regular_file(status)) {
        return false;
    }
#ifdef _WIN32
    (void)path;
    using std::filesystem::perms;
    return (status.permissions() & (perms::owner_exec | perms::group_exec | perms::others_exec)) !=
           perms::none;
#else
    return ::access(path.c_str(), X_OK) == 0;
#endif
}

}  // namespace

Opening ChooseOpening(const std::string& target, const std::string& workingFolder) {
    namespace fs = std::filesystem;
    fs::path path(target);
    if (path.is_relative()) {
        path = fs::path(workingFolder) / path;
    }
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error || !fs::exists(status)) {
        return {Opening::Kind::OpenAddress, target};
    }
    return {MayRun(path, status) ? Opening::Kind::StartProgram : Opening::Kind::OpenFile,
            path.string()};
}

}  // namespace keyrack::platform
