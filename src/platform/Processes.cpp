#include "platform/Processes.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <fstream>
#endif

namespace keyrack::platform {

#ifdef _WIN32

bool ProcessRuns(long long pid, const std::string&) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) {
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    DWORD exitCode = 0;
    const bool running = GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

#else

bool ProcessRuns(long long pid, const std::string& program) {
    if (pid <= 0 || static_cast<long long>(static_cast<pid_t>(pid)) != pid) {
        return false;
    }
    if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
        return false;
    }
#ifdef __linux__
    // The kernel keeps the first 15 bytes of the program's name.
    constexpr std::size_t kNameLength = 15;
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    if (std::getline(comm, name)) {
        return name == program.substr(0, kNameLength);
    }
#endif
    return true;
}

#endif

}  // namespace keyrack::platform
