#pragma once

#include <string>

namespace keyrack::platform {

// The folder that holds the running executable, without a trailing separator.
std::string ExecutableFolder();

// The separator between folder and file names on this system.
constexpr char kPathSeparator =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

}  // namespace keyrack::platform
