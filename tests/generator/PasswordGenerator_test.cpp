#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "generator/PasswordGenerator.h"

namespace keyrack {
namespace {

const std::string kDigits = "123456789";
const std::string kCapitals = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const std::string kSmall = "abcdefghijklmnopqrstuvwxyz";

// Hands out 0, 1, 2 ... (modulo the bound), so a password spells out the admitted characters.
struct CountingRandom : platform::RandomSource {
    std::uint32_t Below(std::uint32_t bound) override { return next++ % bound; }
    std::uint32_t next = 0;
};

std::string Joined(const PasswordTypeSettings& s) {
    return s.type + "/" + s.caseSet + "/" + s.length;
}

// The strength counts the admitted characters over the length used.
TEST(PasswordGeneratorTest, EachSettingAdmitsExactlyItsCharactersAndGivesTheirStrength) {
    const std::tuple<PasswordTypeSettings, std::string, double> rows[] = {
        {{"ALPHA", "Y", "10"}, kSmall, 10 * std::log2(26.0)},
        {{"ALPHA", " N ", "33"}, kCapitals + kSmall, 33 * std::log2(52.0)},
        {{"ALPHANUMERIC", "N", "16"}, kDigits + kCapitals + kSmall, 16 * std::log2(61.0)},
        {{"ALPHANUMERIC", "X", "33"}, kDigits, 33 * std::log2(9.0)},
        {{"NUMERIC", "Y", "8"}, kDigits, 8 * std::log2(9.0)},
        {{"NUMBERIC", "N", "33"}, kDigits, 33 * std::log2(9.0)},
        {{"ALPHA", "X", "8"}, "", 0},
        {{" ALPHA", "Y", "33"}, "", 0}};
    for (const auto& [settings, admitted, bits] : rows) {
        EXPECT_EQ(AdmittedCharacters(settings), admitted) << Joined(settings);
        EXPECT_DOUBLE_EQ(PasswordStrengthBits(settings), bits) << Joined(settings);
    }
}

TEST(PasswordGeneratorTest, LengthAndTheSettingsUsedAndShownByTheDialog) {
    const std::string letters = kCapitals + kSmall;
    const std::tuple<PasswordTypeSettings, std::string, std::string> cases[] = {
        {{"ALPHA", "Y", "8"}, "abcdefgh", "ALPHA/Y/8"},
        // A fraction is rounded up; the data file keeps 33 characters.
        {{"ALPHA", "Y", "12.1"}, kSmall.substr(0, 13), "ALPHA/Y/13"},
        {{"ALPHA", "Y", " 16 "}, kSmall.substr(0, 16), "ALPHA/Y/16"},
        {{"ALPHA", "Y", "2abc"}, "ab", "ALPHA/Y/2"},
        {{"ALPHA", "N", "34"}, letters.substr(0, 33), "ALPHA/N/33"},
        // No length makes nothing and shows the default.
        {{"ALPHA", "Y", "0"}, "", "ALPHA/Y/8"},
        {{"ALPHA", "Y", "-3"}, "", "ALPHA/Y/8"},
        // Settings admitting nothing are read as the password type dialog reads them.
        {{"ALPHA", "X", "3"}, "abc", "ALPHA/Y/3"},
        {{"alpha", "N", "3"}, "ABC", "ALPHA/N/3"}};
    for (const auto& [settings, password, shown] : cases) {
        SCOPED_TRACE(Joined(settings));
        CountingRandom random;
        GeneratedPassword generated = GeneratePassword(settings, random);
        EXPECT_EQ(generated.password, password);
        ApplyPasswordTypeDefaults(generated.used);
        EXPECT_EQ(Joined(generated.used), shown);
        // The password type dialog opens the setting as the length Generate uses.
        EXPECT_EQ(DialogLength(settings.length), generated.used.length);
    }
    // A type the dialog does not list opens as ALPHA, though Generate reads it as digits.
    EXPECT_EQ(Joined(DialogSettings({"NUMBERIC", "n", "0"})), "ALPHA/Y/8");
    EXPECT_EQ(Joined(DialogSettings({"ALPHANUMERIC", "N", "16"})), "ALPHANUMERIC/N/16");
}

// A generator that favours some characters, skips some or repeats itself fails here. The
// bound is the chi-square 0.1% critical value for 60 degrees of freedom (61 characters); a fair
// source exceeds it once in a thousand samples, so a second sample decides before failing.
TEST(PasswordGeneratorTest, SystemDrawsAreEvenAndDoNotRepeat) {
    const PasswordTypeSettings settings{"ALPHANUMERIC", "N", "33"};
    const auto chiSquare = [&] {
        std::map<char, int> counts;
        for (int i = 0; i < 3000; ++i) {
            for (char c : GeneratePassword(settings, platform::SystemRandom()).password) {
                ++counts[c];
            }
        }
        const double expected = 3000 * 33 / 61.0;
        double sum = counts.size() == 61u ? 0 : 1e9;
        for (const auto& [c, count] : counts) {
            sum += (count - expected) * (count - expected) / expected;
        }
        return sum;
    };
    EXPECT_TRUE(chiSquare() < 99.607 || chiSquare() < 99.607);
    EXPECT_NE(GeneratePassword(settings, platform::SystemRandom()).password,
              GeneratePassword(settings, platform::SystemRandom()).password);
}

}  // namespace
}  // namespace keyrack
