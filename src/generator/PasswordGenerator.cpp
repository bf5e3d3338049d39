#include "generator/PasswordGenerator.h"

#include <cmath>
#include <string_view>

#include "common/Strings.h"

namespace keyrack {

namespace {

constexpr std::string_view kDigits = "123456789";
constexpr std::string_view kCapitals = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kSmallLetters = "abcdefghijklmnopqrstuvwxyz";

}  // namespace

std::string AdmittedCharacters(const PasswordTypeSettings& settings) {
    const std::string& type = settings.type;
    const std::string caseSet = Trim(settings.caseSet);
    const bool letters = type == "ALPHA" || type == "ALPHANUMERIC";
    std::string admitted;
    if (type == "ALPHANUMERIC" || type == "NUMERIC" || type == "NUMBERIC") {
        admitted += kDigits;
    }
    if (letters && caseSet == "N") {
        admitted += kCapitals;
    }
    if (letters && (caseSet == "N" || caseSet == "Y")) {
        admitted += kSmallLetters;
    }
    return admitted;
}

double PasswordStrengthBits(const PasswordTypeSettings& settings) {
    const std::size_t alphabet = AdmittedCharacters(settings).size();
    if (alphabet == 0) {
        return 0;
    }
    return PasswordLength(settings.length) * std::log2(static_cast<double>(alphabet));
}

GeneratedPassword GeneratePassword(const PasswordTypeSettings& settings,
                                   platform::RandomSource& random) {
    GeneratedPassword result{{}, settings};
    PasswordTypeSettings& used = result.used;
    std::string admitted = AdmittedCharacters(used);
    if (admitted.empty()) {
        const PasswordTypeSettings read = DialogSettings(used);
        used.type = read.type;
        used.caseSet = read.caseSet;
        admitted = AdmittedCharacters(used);
    }
    const int length = PasswordLength(used.length);
    if (length == 0) {
        used.length.clear();
        return result;
    }
    used.length = std::to_string(length);
    const auto count = static_cast<std::uint32_t>(admitted.size());
    for (int i = 0; i < length; ++i) {
        result.password += admitted[random.Below(count)];
    }
    return result;
}

}  // namespace keyrack
