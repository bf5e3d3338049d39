#include "store/AppPath.h"

#include "common/Strings.h"
#include "platform/ExecutableFolder.h"

namespace keyrack {

std::string App_Path;

namespace {
std::string& ChosenFolder() {
    static std::string folder;
    return folder;
}
}  // namespace

std::string WithTrailingSeparator(const std::string& folder) {
    std::string result = Trim(folder);
    if (result.empty() || result.back() != platform::kPathSeparator) {
        result += platform::kPathSeparator;
    }
    return result;
}

std::string GetAppPath() {
    const std::string& chosen = ChosenFolder();
    App_Path = WithTrailingSeparator(chosen.empty() ? platform::ExecutableFolder() : chosen);
    return App_Path;
}

void UseAppFolder(const std::string& folder) {
    ChosenFolder() = folder;
}

}  // namespace keyrack
