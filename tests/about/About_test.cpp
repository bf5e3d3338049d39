#include <gtest/gtest.h>

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
    EXPECT_EQ(VersionText("Version", 1, 2, 0), "Version 1.2.0");
    EXPECT_EQ(TitleText("Keyrack", "Password keeper"), "Keyrack\nPassword keeper");
}

constexpr const char* kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH";
constexpr const char* kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO";

TEST(SysInfoTool, RegistryNamesTheToolOrItsFolder) {
    struct Case {
        const char* tool;
        const char* folder;
        bool toolInFolder;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\Tools\\msinfo32.exe", "C:\\Other", true, "C:\\Tools\\msinfo32.exe"},
        {nullptr, "C:\\Shared", true, "C:\\Shared\\MSINFO32.EXE"},
        {nullptr, "C:\\Shared", false, nullptr},
        {nullptr, nullptr, false, nullptr},
    };
    for (const Case& c : cases) {
        FakeSystemInfo system;
        if (c.tool != nullptr) {
            system.registry[kToolKey] = c.tool;
        }
        if (c.folder != nullptr) {
            system.registry[kFolderKey] = c.folder;
        }
        if (c.toolInFolder) {
            system.files.insert(std::string(c.folder) + "\\MSINFO32.EXE");
        }
        const auto found = FindRegisteredSysInfoTool(system);
        EXPECT_EQ(found.has_value(), c.expected != nullptr);
        if (found && c.expected != nullptr) {
            EXPECT_EQ(found->path, c.expected);
        }
    }
}

TEST(SysInfoTool, TheRunningDesktopsToolComesFirst) {
    struct Case {
        const char* desktop;
        std::map<std::string, std::string> programs;
        const char* expected;  // path and arguments; nullptr when none fits
    };
    const Case cases[] = {
        {"KDE",
         {{"kinfocenter", "/usr/bin/kinfocenter"}, {"hardinfo", "/usr/bin/hardinfo"}},
         "/usr/bin/kinfocenter"},
        {"ubuntu:gnome",
         {{"kinfocenter", "/usr/bin/kinfocenter"}, {"gnome-control-center", "/usr/bin/gcc"}},
         "/usr/bin/gcc info-overview"},
        {"GNOME",
         {{"kinfocenter", "/usr/bin/kinfocenter"}, {"hardinfo", "/bin/hardinfo"}},
         "/bin/hardinfo"},
        {"", {{"kinfocenter", "/usr/bin/kinfocenter"}}, nullptr},
    };
    for (const Case& c : cases) {
        FakeSystemInfo system;
        system.desktop = c.desktop;
        system.programs = c.programs;
        const auto found = FindDesktopSysInfoTool(system);
        ASSERT_EQ(found.has_value(), c.expected != nullptr) << c.desktop;
        if (found) {
            std::string call = found->path;
            for (const std::string& argument : found->arguments) {
                call += " " + argument;
            }
            EXPECT_EQ(call, c.expected);
        }
    }
}

TEST(SysInfoTool, RegistryValuesAsText) {
    struct Case {
        std::uint32_t type;
        std::string bytes;
        bool known;
        const char* text;
    };
    const Case cases[] = {
        {1, std::string("C:\\msinfo32.exe\0", 16), true, "C:\\msinfo32.exe"},
        {1, "no terminator", true, "no terminator"},
        {4, std::string("\x05\x01\0\0", 4), true, "261"},
        {4, std::string("\xff\xff\xff\xff", 4), true, "4294967295"},
        {3, "binary", false, "before"},
    };
    for (const Case& c : cases) {
        std::string text = "before";
        EXPECT_EQ(platform::RegistryValueText(c.type, c.bytes, text), c.known);
        EXPECT_EQ(text, c.text);
    }
}

}  // namespace
}  // namespace keyrack::testing
