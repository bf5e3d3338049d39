#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/SystemInfo.h"

// Where the system information tool is and how to start it.
namespace keyrack {

struct ProgramCall {
    std::string path;
    std::vector<std::string> arguments;
};

// HKEY_LOCAL_MACHINE as a registry root key handle.
constexpr std::uint32_t kLocalMachine = 0x80000002u;

// Windows: the tool the registry names, or the MSINFO32.EXE in the folder it names.
std::optional<ProgramCall> FindRegisteredSysInfoTool(platform::SystemInfo& system);

// Other desktops: the system information program of the running desktop found on the PATH,
// else one that works on any desktop.
std::optional<ProgramCall> FindDesktopSysInfoTool(platform::SystemInfo& system);

// The tool of this system, nothing when there is none.
std::optional<ProgramCall> FindSysInfoTool(platform::SystemInfo& system);

}  // namespace keyrack
