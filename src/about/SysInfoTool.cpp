#include "about/SysInfoTool.h"

#include "common/Strings.h"

namespace keyrack {

namespace {

// The desktops' own tools, most specific first; an empty desktop name fits any desktop.
struct DesktopTool {
    const char* desktop;
    const char* program;
    std::vector<std::string> arguments;
};

const DesktopTool kDesktopTools[] = {
    {"KDE", "kinfocenter", {}},
    {"GNOME", "gnome-control-center", {"info-overview"}},
    {"X-Cinnamon", "cinnamon-settings", {"info"}},
    {"XFCE", "xfce4-about", {}},
    {"MATE", "mate-system-monitor", {}},
    {"", "hardinfo", {}},
};

bool RunsOn(const std::string& desktops, const std::string& wanted) {
    if (wanted.empty()) {
        return true;
    }
    std::size_t start = 0;
    while (start <= desktops.size()) {
        const std::size_t end = std::min(desktops.find(':', start), desktops.size());
        if (ToUpperAscii(desktops.substr(start, end - start)) == ToUpperAscii(wanted)) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

}  // namespace

std::optional<ProgramCall> FindRegisteredSysInfoTool(platform::SystemInfo& system) {
    std::string value;
    if (system.GetKeyValue(kLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                           value)) {
        return ProgramCall{value, {}};
    }
    if (system.GetKeyValue(kLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO",
                           value)) {
        const std::string path = value + "\\MSINFO32.EXE";
        if (system.FileExists(path)) {
            return ProgramCall{path, {}};
        }
    }
    return std::nullopt;
}

std::optional<ProgramCall> FindDesktopSysInfoTool(platform::SystemInfo& system) {
    const std::string desktops = system.CurrentDesktop();
    for (const DesktopTool& tool : kDesktopTools) {
        if (!RunsOn(desktops, tool.desktop)) {
            continue;
        }
        const std::string path = system.FindProgram(tool.program);
        if (!path.empty()) {
            return ProgramCall{path, tool.arguments};
        }
    }
    return std::nullopt;
}

std::optional<ProgramCall> FindSysInfoTool(platform::SystemInfo& system) {
#ifdef _WIN32
    return FindRegisteredSysInfoTool(system);
#else
    return FindDesktopSysInfoTool(system);
#endif
}

}  // namespace keyrack
