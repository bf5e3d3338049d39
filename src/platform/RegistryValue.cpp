#include <cstring>

#include "platform/SystemInfo.h"

namespace keyrack::platform {

namespace {
constexpr std::uint32_t kRegistryText = 1;
constexpr std::uint32_t kRegistryNumber = 4;
}  // namespace

bool RegistryValueText(std::uint32_t type, const std::string& bytes, std::string& text) {
    if (type == kRegistryText) {
        text = bytes.substr(0, bytes.find('\0'));
        return true;
    }
    if (type == kRegistryNumber && bytes.size() >= 4) {
        // Every byte counts with its place, so a byte below 16 keeps its leading zero digit.
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) {
            number = (number << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
        }
        text = std::to_string(number);
        return true;
    }
    return false;
}

}  // namespace keyrack::platform
