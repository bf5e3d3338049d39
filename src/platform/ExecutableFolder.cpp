#include "platform/ExecutableFolder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <limits.h>
#include <unistd.h>
#endif

namespace keyrack::platform {

std::string ExecutableFolder() {
#ifdef _WIN32
    char buffer[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    std::string path(buffer, length);
#else
    char buffer[PATH_MAX] = {};
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string path = length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : ".";
#endif
    const auto cut = path.find_last_of(kPathSeparator);
    return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
}

}  // namespace keyrack::platform
