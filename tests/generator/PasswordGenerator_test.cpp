#include <gtest/gtest.h>

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

std::set<char> CharactersOf(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST(PasswordGeneratorTest, EachSettingAdmitsExactlyItsCharacters) {
    struct Row {
        const char* type;
        const char* caseSet;
        std::string admitted;
    };
    const Row rows[] = {{"ALPHA", "Y", kSmall},
                        {"ALPHA", " N ", kCapitals + kSmall},
                        {"ALPHANUMERIC", "Y", kDigits + kSmall},
                        {"ALPHANUMERIC", "N", kDigits + kCapitals + kSmall},
                        {"ALPHANUMERIC", "X", kDigits},
                        {"NUMERIC", "Y", kDigits},
                        {"NUMBERIC", "N", kDigits},
                        {"NUMERIC", "", kDigits},
                        {"ALPHA", "X", ""},
                        {"alpha", "Y", ""},
                        {" ALPHA", "Y", ""}};
    platform::RandomSource& system = platform::SystemRandom();
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.type) + "/" + row.caseSet);
        EXPECT_EQ(AdmittedCharacters({row.type, row.caseSet, "8"}), row.admitted);
        if (row.admitted.empty()) {
            continue;
        }
        // From the system's generator, enough draws to meet every admitted character.
        std::string drawn;
        for (int i = 0; i < 100; ++i) {
            drawn += GeneratePassword({row.type, row.caseSet, "33"}, system).password;
        }
        EXPECT_EQ(CharactersOf(drawn), CharactersOf(row.admitted));
    }
}

TEST(PasswordGeneratorTest, LengthAndSettingsUsed) {
    struct Case {
        PasswordTypeSettings settings;
        std::string password;
        PasswordTypeSettings used;
    };
    const std::string alphabet = kCapitals + kSmall;
    const Case cases[] = {
        {{"ALPHA", "Y", "8"}, "abcdefgh", {"ALPHA", "Y", "8"}},
        {{"ALPHA", "Y", "1"}, "a", {"ALPHA", "Y", "1"}},
        {{"NUMERIC", "N", "12"}, "123456789123", {"NUMERIC", "N", "12"}},
        {{"ALPHANUMERIC", "N", "30"},
         (kDigits + kCapitals + kSmall).substr(0, 30),
         {"ALPHANUMERIC", "N", "30"}},
        {{"ALPHA", "Y", "12.7"}, kSmall.substr(0, 13), {"ALPHA", "Y", "12.7"}},
        {{"ALPHA", "Y", "12.5"}, kSmall.substr(0, 12), {"ALPHA", "Y", "12.5"}},
        // Lengths the data file cannot keep are cut to what it can.
        {{"ALPHA", "N", "50"}, alphabet.substr(0, 33), {"ALPHA", "N", "33"}},
        // No length: nothing made, and the length falls back to the default when shown.
        {{"ALPHA", "Y", "0"}, "", {"ALPHA", "Y", ""}},
        {{"ALPHA", "Y", "x"}, "", {"ALPHA", "Y", ""}},
        {{"ALPHA", "Y", "-3"}, "", {"ALPHA", "Y", ""}},
        // Settings admitting nothing are read as the dialog reads them.
        {{"ALPHA", "X", "3"}, "abc", {"ALPHA", "Y", "3"}},
        {{"alpha", "N", "3"}, "ABC", {"ALPHA", "N", "3"}},
        {{"", "", "3"}, "abc", {"ALPHA", "Y", "3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settings.type + "/" + c.settings.caseSet + "/" + c.settings.length);
        CountingRandom random;
        const GeneratedPassword generated = GeneratePassword(c.settings, random);
        EXPECT_EQ(generated.password, c.password);
        EXPECT_EQ(generated.used.type, c.used.type);
        EXPECT_EQ(generated.used.caseSet, c.used.caseSet);
        EXPECT_EQ(generated.used.length, c.used.length);
    }
}

// A generator that favours some characters, skips some or repeats itself fails here. The
// chi-square bound is the 0.1% critical value for 60 degrees of freedom (61 characters).
TEST(PasswordGeneratorTest, SystemDrawsAreEvenAndDoNotRepeat) {
    const PasswordTypeSettings settings{"ALPHANUMERIC", "N", "33"};
    const std::string admitted = AdmittedCharacters(settings);
    ASSERT_EQ(admitted.size(), 61u);
    std::map<char, int> counts;
    int total = 0;
    while (total < 100000) {
        for (char c : GeneratePassword(settings, platform::SystemRandom()).password) {
            ++counts[c];
            ++total;
        }
    }
    ASSERT_EQ(counts.size(), admitted.size());
    const double expected = static_cast<double>(total) / admitted.size();
    double chiSquare = 0;
    for (const auto& [c, count] : counts) {
        chiSquare += (count - expected) * (count - expected) / expected;
    }
    EXPECT_LT(chiSquare, 99.607);

    const PasswordTypeSettings twenty{"ALPHANUMERIC", "N", "20"};
    EXPECT_NE(GeneratePassword(twenty, platform::SystemRandom()).password,
              GeneratePassword(twenty, platform::SystemRandom()).password);
}

TEST(PasswordTypeTest, DialogReadsOnlyListedSettingsAndLengthsFromOneTo33) {
    const PasswordTypeSettings read = DialogSettings({"NUMBERIC", "n", "0"});
    EXPECT_EQ(read.type, "ALPHA");
    EXPECT_EQ(read.caseSet, "Y");
    EXPECT_EQ(read.length, "8");
    EXPECT_EQ(DialogSettings({"ALPHANUMERIC", "N", "16"}).type, "ALPHANUMERIC");
    const std::pair<const char*, const char*> lengths[] = {
        {"1", "1"},  {" 16 ", "16"}, {"12.7", "12.7"}, {"33", "33"}, {"12abc", "12"},
        {"34", "8"}, {"0.5", "8"},   {"x", "8"},       {"", "8"},    {"-5", "8"}};
    for (const auto& [typed, stored] : lengths) {
        EXPECT_EQ(DialogLength(typed), stored) << typed;
    }
}

}  // namespace
}  // namespace keyrack
