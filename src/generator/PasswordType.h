#pragma once

#include <string>

// The password-type settings that go with each entry: type, case and length.
namespace keyrack {

struct PasswordTypeSettings {
    std::string type;     // "ALPHA", "NUMERIC" or "ALPHANUMERIC"
    std::string caseSet;  // "Y": small letters only; "N": both cases
    std::string length;   // number of characters, as decimal text
};

// The longest password the data file's password field keeps.
constexpr int MaxPasswordLength = 33;

// Fills the settings that are empty (or a length that reads as 0) with "ALPHA", "Y" and "8".
void ApplyPasswordTypeDefaults(PasswordTypeSettings& settings);

// How the password type dialog reads settings when it opens: a type other than "ALPHA",
// "NUMERIC" and "ALPHANUMERIC" reads as "ALPHA", a case other than "Y" and "N" as "Y", and the
// length as DialogLength does.
PasswordTypeSettings DialogSettings(const PasswordTypeSettings& settings);

// The length the dialog takes from text: the number at its start, as decimal text, when it is
// from 1 to MaxPasswordLength; "8" for anything else.
std::string DialogLength(const std::string& text);

}  // namespace keyrack
