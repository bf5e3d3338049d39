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

// The length of the passwords made under a length setting: the number at its start, a fraction
// rounded up (a password grows until it is no shorter than the number), at most
// MaxPasswordLength; 0 when the number is not above 0. The dialog and Generate both use it.
int PasswordLength(const std::string& text);

// How the password type dialog reads settings when it opens: a type other than "ALPHA",
// "NUMERIC" and "ALPHANUMERIC" reads as "ALPHA", a case other than "Y" and "N" as "Y", and the
// length as DialogLength does.
PasswordTypeSettings DialogSettings(const PasswordTypeSettings& settings);

// The length the dialog shows and takes from text: PasswordLength as decimal text, or "8" when
// that is 0.
std::string DialogLength(const std::string& text);

}  // namespace keyrack
