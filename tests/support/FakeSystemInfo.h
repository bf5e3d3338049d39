#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/SystemInfo.h"

namespace keyrack::testing {

// A system made of a few registry values, files and programs; remembers what was started.
class FakeSystemInfo : public platform::SystemInfo {
  public:
    std::map<std::string, std::string> registry;  // "key|value name" -> text
    std::set<std::string> files;
    std::string desktop;
    std::map<std::string, std::string> programs;  // name -> path on the PATH
    bool startWorks = true;
    std::vector<std::string> started;  // the paths of the programs started

    bool GetKeyValue(std::uint32_t, const std::string& keyName, const std::string& subKeyRef,
                     std::string& keyVal) override {
        const auto found = registry.find(keyName + "|" + subKeyRef);
        keyVal = found == registry.end() ? "" : found->second;
        return found != registry.end();
    }
    bool FileExists(const std::string& path) override { return files.count(path) > 0; }
    std::string CurrentDesktop() override { return desktop; }
    std::string FindProgram(const std::string& name) override {
        const auto found = programs.find(name);
        return found == programs.end() ? "" : found->second;
    }
    bool StartProgram(const std::string& path, const std::vector<std::string>&) override {
        started.push_back(path);
        return startWorks;
    }
};

}  // namespace keyrack::testing
