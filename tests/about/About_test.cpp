#include <gtest/gtest.h>

#include <tuple>

#include "about/AboutText.h"
#include "about/SysInfoTool.h"
#include "support/FakeSystemInfo.h"

namespace keyrack::testing {
namespace {

TEST(AboutText, ProgramNameFromTheExecutableFileName) {
    const std::pair<const char*, const char*> cases[] = {
        {"keyrack", "Keyrack"},           {"my_keyrack", "My Keyrack"},
        {"MY_KEYRACK.EXE", "My Keyrack"}, {"/opt/pass.word/key_RACK.bin", "Key Rack"},
        {"keyrack.v2.exe", "Keyrack.v2"},
    };
    for (const auto& [file, name] : cases) {
        EXPECT_EQ(ProgramNameFromFile(file), name) << file;
    }
}

// The call found, path and arguments separated by spaces; "" when nothing was found.
std::string Call(const std::optional<ProgramCall>& found) {
    std::string call = found ? found->path : "";
    for (const std::string& argument : found ? found->arguments : std::vector<std::string>{}) {
        call += " " + argument;
    }
    return call;
}

TEST(SysInfoTool, RegistryNamesTheToolOrItsFolder) {
    const char* toolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH";
    const char* folderKey = "SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO";
    FakeSystemInfo system;
    EXPECT_EQ(Call(FindRegisteredSysInfoTool(system)), "");
    system.registry[folderKey] = "C:\\Shared";
    EXPECT_EQ(Call(FindRegisteredSysInfoTool(system)), "");  // the folder lacks the tool
    system.files.insert("C:\\Shared\\MSINFO32.EXE");
    EXPECT_EQ(Call(FindRegisteredSysInfoTool(system)), "C:\\Shared\\MSINFO32.EXE");
    system.registry[toolKey] = "C:\\Tools\\msinfo32.exe";
    EXPECT_EQ(Call(FindRegisteredSysInfoTool(system)), "C:\\Tools\\msinfo32.exe");
}

TEST(SysInfoTool, TheRunningDesktopsToolComesFirst) {
    const std::map<std::string, std::string> all = {{"kinfocenter", "/usr/bin/kinfocenter"},
                                                    {"gnome-control-center", "/bin/gcc"},
                                                    {"hardinfo", "/bin/hardinfo"}};
    const std::map<std::string, std::string> kdeOnly = {{"kinfocenter", "/usr/bin/kinfocenter"}};
    const std::tuple<const char*, std::map<std::string, std::string>, const char*> cases[] = {
        {"KDE", all, "/usr/bin/kinfocenter"},
        {"ubuntu:gnome", all, "/bin/gcc info-overview"},
        {"XFCE", all, "/bin/hardinfo"},
        {"GNOME", kdeOnly, ""}};
    for (const auto& [desktop, programs, expected] : cases) {
        FakeSystemInfo system;
        system.desktop = desktop;
        system.programs = programs;
        EXPECT_EQ(Call(FindDesktopSysInfoTool(system)), expected) << desktop;
    }
}

}  // namespace
}  // namespace keyrack::testing
