#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
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

TEST(PasswordGeneratorTest, EachSettingAdmitsExactlyItsCharacters) {
    const std::pair<PasswordTypeSettings, std::string> rows[] = {
        {{"ALPHA", "Y", "33"}, kSmall},
        {{"ALPHA", " N ", "33"}, kCapitals + kSmall},
        {{"ALPHANUMERIC", "Y", "33"}, kDigits + kSmall},
        {{"ALPHANUMERIC", "N", "33"}, kDigits + kCapitals + kSmall},
        {{"ALPHANUMERIC", "X", "33"}, kDigits},
        {{"NUMERIC", "Y", "33"}, kDigits},
        {{"NUMBERIC", "N", "33"}, kDigits},
        {{"ALPHA", "X", "33"}, ""},
        {{" ALPHA", "Y", "33"}, ""}};
    for (const auto& [settings, admitted] : rows) {
        SCOPED_TRACE(Joined(settings));
        EXPECT_EQ(AdmittedCharacters(settings), admitted);
        if (!admitted.empty()) {
            // Enough draws from the system's generator to meet every admitted character.
            std::string drawn;
            for (int i = 0; i < 100; ++i) {
                drawn += GeneratePassword(settings, platform::SystemRandom()).password;
            }
            EXPECT_EQ(std::set<char>(drawn.begin(), drawn.end()),
                      std::set<char>(admitted.begin(), admitted.end()));
        }
    }
}

TEST(PasswordGeneratorTest, LengthAndTheSettingsUsed) {
    const std::string letters = kCapitals + kSmall;
    const std::tuple<PasswordTypeSettings, std::string, std::string> cases[] = {
        {{"ALPHA", "Y", "8"}, "abcdefgh", "ALPHA/Y/8"},
        {{"ALPHA", "Y", "1"}, "a", "ALPHA/Y/1"},
        {{"NUMERIC", "N", "12"}, "123456789123", "NUMERIC/N/12"},
        {{"ALPHANUMERIC", "N", "30"}, (kDigits + letters).substr(0, 30), "ALPHANUMERIC/N/30"},
        // A fraction is rounded up, halves too; the data file keeps 33 characters.
        {{"ALPHA", "Y", "12.1"}, kSmall.substr(0, 13), "ALPHA/Y/13"},
        {{"ALPHA", "Y", "12.5"}, kSmall.substr(0, 13), "ALPHA/Y/13"},
        {{"ALPHA", "Y", " 16 "}, kSmall.substr(0, 16), "ALPHA/Y/16"},
        {{"ALPHA", "Y", "2abc"}, "ab", "ALPHA/Y/2"},
        {{"ALPHA", "Y", "0.5"}, "a", "ALPHA/Y/1"},
        {{"ALPHA", "N", "33"}, letters.substr(0, 33), "ALPHA/N/33"},
        {{"ALPHA", "N", "34"}, letters.substr(0, 33), "ALPHA/N/33"},
        // No length makes nothing and shows the default.
        {{"ALPHA", "Y", "0"}, "", "ALPHA/Y/8"},
        {{"ALPHA", "Y", "x"}, "", "ALPHA/Y/8"},
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
}

// 100,000 characters from the system source under the 61-character setting.
double ChiSquareOfSystemDraws() {
    const PasswordTypeSettings settings{"ALPHANUMERIC", "N", "33"};
    std::map<char, int> counts;
    int total = 0;
    for (; total < 100000; total += 33) {
        for (char c : GeneratePassword(settings, platform::SystemRandom()).password) {
            ++counts[c];
        }
    }
    if (counts.size() != 61u) {
        return 1e9;
    }
    const double expected = total / 61.0;
    double chiSquare = 0;
    for (const auto& [c, count] : counts) {
        chiSquare += (count - expected) * (count - expected) / expected;
    }
    return chiSquare;
}

// A generator that favours some characters, skips some or repeats itself fails here. The
// bound is the chi-square 0.1% critical value for 60 degrees of freedom (61 characters); a fair
// source exceeds it once in a thousand samples, so a second sample decides before failing.
TEST(PasswordGeneratorTest, SystemDrawsAreEvenAndDoNotRepeat) {
    constexpr double kCritical = 99.607;
    EXPECT_TRUE(ChiSquareOfSystemDraws() < kCritical || ChiSquareOfSystemDraws() < kCritical);
    const PasswordTypeSettings twenty{"ALPHANUMERIC", "N", "20"};
    EXPECT_NE(GeneratePassword(twenty, platform::SystemRandom()).password,
              GeneratePassword(twenty, platform::SystemRandom()).password);
}

TEST(PasswordTypeTest, DialogReadsListedSettings) {
    EXPECT_EQ(Joined(DialogSettings({"NUMBERIC", "n", "0"})), "ALPHA/Y/8");
    EXPECT_EQ(Joined(DialogSettings({"ALPHANUMERIC", "N", "16"})), "ALPHANUMERIC/N/16");
}

TEST(PasswordGeneratorTest, StrengthIsLengthTimesBitsPerCharacter) {
    const std::pair<PasswordTypeSettings, double> cases[] = {
        {{"NUMERIC", "Y", "8"}, 8 * std::log2(9.0)},
        {{"ALPHA", "Y", "10"}, 10 * std::log2(26.0)},
        {{"ALPHANUMERIC", "N", "16"}, 16 * std::log2(61.0)},
        {{"ALPHA", "X", "8"}, 0}};
    for (const auto& [settings, bits] : cases) {
        EXPECT_DOUBLE_EQ(PasswordStrengthBits(settings), bits) << settings.type;
    }
}

}  // namespace
}  // namespace keyrack
