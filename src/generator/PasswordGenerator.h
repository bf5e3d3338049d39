#pragma once

#include <string>

#include "generator/PasswordType.h"
#include "platform/RandomSource.h"

// Random passwords made from the password-type settings.
namespace keyrack {

// The characters the settings admit, in ascending order: digits 1 to 9 (never 0) for
// "ALPHANUMERIC", "NUMERIC" and "NUMBERIC"; small letters for "ALPHA" and "ALPHANUMERIC" with
// case "Y" or "N", capitals too with "N". The type is compared exactly, the case trimmed first.
// Empty when nothing qualifies.
std::string AdmittedCharacters(const PasswordTypeSettings& settings);

// The strength of passwords made under the settings, in bits: their PasswordLength times log2
// of the number of admitted characters; 0 when none are admitted.
double PasswordStrengthBits(const PasswordTypeSettings& settings);

struct GeneratedPassword {
    std::string password;
    // The settings the password was made under, to be shown and stored with it. Settings
    // admitting no character are read as the password type dialog reads them; the length is
    // the one used (PasswordLength), or empty when that is 0.
    PasswordTypeSettings used;
};

// A password of the settings' PasswordLength, each character drawn from random with every admitted
// character equally likely. Empty when the length is below 1.
GeneratedPassword GeneratePassword(const PasswordTypeSettings& settings,
                                   platform::RandomSource& random);

}  // namespace keyrack
