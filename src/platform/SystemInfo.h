#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace keyrack::platform {

// What the About box needs from the system to find and start the system information tool.
class SystemInfo {
  public:
    virtual ~SystemInfo() = default;

    // Reads one registry value under the root key handle keyRoot into keyVal: text as it
    // stands, a 32-bit number as decimal text. False, with keyVal empty, when the key or value
    // cannot be read (any other type of value leaves keyVal as it was); systems without a
    // registry always answer false.
    virtual bool GetKeyValue(std::uint32_t keyRoot, const std::string& keyName,
                             const std::string& subKeyRef, std::string& keyVal) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // The running desktop's names, as XDG_CURRENT_DESKTOP lists them ("ubuntu:GNOME").
    virtual std::string CurrentDesktop() = 0;
    // The full path of the program name found on the PATH, or "" when there is none.
    virtual std::string FindProgram(const std::string& name) = 0;
    // Starts the program as a separate process; false when it could not be started.
    virtual bool StartProgram(const std::string& path,
                              const std::vector<std::string>& arguments) = 0;
};

// The running system's answers.
class DesktopSystemInfo : public SystemInfo {
  public:
    bool GetKeyValue(std::uint32_t keyRoot, const std::string& keyName,
                     const std::string& subKeyRef, std::string& keyVal) override;
    bool FileExists(const std::string& path) override;
    std::string CurrentDesktop() override;
    std::string FindProgram(const std::string& name) override;
    bool StartProgram(const std::string& path, const std::vector<std::string>& arguments) override;
};

// A registry value as GetKeyValue hands it out: type 1 (text) up to its terminating NUL, type 4
// (a little-endian 32-bit number) as decimal text; any other type gives nothing.
bool RegistryValueText(std::uint32_t type, const std::string& bytes, std::string& text);

}  // namespace keyrack::platform
