#include "store/ValueCipher.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace keyrack {
namespace {

// Hands out a fixed sequence of draws, over and over, and remembers every bound asked for.
struct ScriptedRandom : platform::RandomSource {
    explicit ScriptedRandom(std::vector<std::uint32_t> values) : draws(std::move(values)) {}
    std::uint32_t Below(std::uint32_t bound) override {
        bounds.push_back(bound);
        return draws[(bounds.size() - 1) % draws.size()];
    }
    std::vector<std::uint32_t> draws;
    std::vector<std::uint32_t> bounds;
};

TEST(ValueCipherTest, EncodesRunningSumsAndFillsWithAllowedLettersOnly) {
    // 29, 30 and 31 stand for '^', '_' and '`', which must be drawn again.
    ScriptedRandom random({29, 0, 30, 28, 31, 32, 56});
    // 'A' 65 + 41 = 106; 'b' 98 + 106 + 41 = 245; 'c' 99 + 245 + 41 = 385, less 221.
    // Keys outside 1..199 must behave as the default key, or older files would not open.
    for (int key : {DefaultKey, 0, 250}) {
        EXPECT_EQ(EncodeValue("Abc", key, false, 0, random), "106245164") << key;
        EXPECT_EQ(DecodeValue("106245164", key), "Abc") << key;
    }
    EXPECT_EQ(EncodeValue(" A", DefaultKey, false, 0, random), "073179");
    // Once the sum has reached 255, 'z' under key 112 needs its full sum (468) to come back.
    EXPECT_EQ(EncodeValue("zz", 112, false, 0, random), "234468");
    EXPECT_EQ(DecodeValue("234468", 112), "zz");

    EXPECT_EQ(EncodeValue("A", DefaultKey, true, 7, random), "106A]ay");
    EXPECT_EQ(EncodeValue("Abcd", DefaultKey, true, 10, random).size(), 12u);
    EXPECT_EQ(EncodeValue("   ", DefaultKey, true, 40, random), "");
    // Only the fill of "A" drew, always from the 57 letters.
    EXPECT_EQ(random.bounds, std::vector<std::uint32_t>(7, 57));
}

TEST(ValueCipherTest, DecodesFilledAndCutText) {
    EXPECT_EQ(DecodeValue("Q106245164", DefaultKey), "");
    EXPECT_EQ(DecodeValue("106245164QwErTyUi", DefaultKey), "Abc");
    // A field that cut the value leaves a shorter last group: "2" after 73 is 109, 'm'.
    EXPECT_EQ(DecodeValue("0732", DefaultKey), " m");
}

TEST(ValueCipherTest, StoresIntactPromisesOnlyWhatComesBack) {
    const auto throughField = [](const std::string& value, int key) {
        ScriptedRandom random({7, 40});
        return DecodeValue(EncodeValue(value, key, true, 100, random).substr(0, 100), key);
    };
    for (int key = 13; key <= 95; ++key) {
        for (int c = 32; c <= 126; ++c) {
            std::string run(33, static_cast<char>(c));
            // Only spaces would be blank, which stores as nothing.
            run.back() = c == ' ' ? '!' : run.back();
            ASSERT_TRUE(StoresIntact(run, key, 100)) << "key " << key << " char " << c;
            ASSERT_EQ(throughField(run, key), run) << "key " << key << " char " << c;
        }
    }
    EXPECT_FALSE(StoresIntact(std::string(34, 'a'), 50, 100));
    EXPECT_FALSE(StoresIntact("zzzzzzzz", 112, 100));             // groups outgrow three digits
    EXPECT_FALSE(StoresIntact(std::string("a\0b", 3), 50, 100));  // NUL decodes to nothing

    for (int key : {1, 112, 150, 199}) {
        for (int c = 1; c <= 255; ++c) {
            for (int n : {1, 5, 30}) {
                const std::string value = std::string(n, static_cast<char>(c)) + "aZ~";
                if (StoresIntact(value, key, 100)) {
                    EXPECT_EQ(throughField(value, key), value) << key << " " << c << " " << n;
                }
            }
        }
    }
}

}  // namespace
}  // namespace keyrack
