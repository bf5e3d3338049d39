#pragma once

#include <string>

// The password-type settings that go with each entry: type, case and length.
namespace keyrack {

struct PasswordTypeSettings {
    std::string type;     // "ALPHA", "NUMERIC" or "ALPHANUMERIC"
    std::string caseSet;  // "Y": small letters only; "N": both cases
    std::string length;   // number of characters, as decimal text
};

// Fills the settings that are empty (or a length that reads as 0) with "ALPHA", "Y" and "8".
void ApplyPasswordTypeDefaults(PasswordTypeSettings& settings);

}  // namespace keyrack
