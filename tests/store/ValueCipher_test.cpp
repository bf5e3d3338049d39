#include "store/ValueCipher.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace keyrack {
namespace {

// Hands out a fixed sequence of draws, over and over, and remembers every bound asked for.
class ScriptedRandom : public platform::RandomSource {
  public:
    explicit ScriptedRandom(std::vector<std::uint32_t> draws) : draws_(std::move(draws)) {}

    std::uint32_t Below(std::uint32_t bound) override {
        bounds.push_back(bound);
        return draws_[next_++ % draws_.size()];
    }

    std::vector<std::uint32_t> bounds;

  private:
    std::vector<std::uint32_t> draws_;
    std::size_t next_ = 0;
};

// What a value becomes after being encoded into a field and read back, as saving and loading do.
std::string ThroughField(const std::string& value, int key, int width) {
    ScriptedRandom random({7, 40});
    return DecodeValue(EncodeValue(value, key, true, width, random).substr(0, width), key);
}

TEST(ValueCipherTest, EncodesRunningSumsAsThreeDigitGroups) {
    ScriptedRandom random({0});
    // 'A' 65 + 41 = 106; 'b' 98 + 106 + 41 = 245; 'c' 99 + 245 + 41 = 385, reduced by 221.
    EXPECT_EQ(EncodeValue("Abc", DefaultKey, false, 0, random), "106245164");
    // Leading spaces are part of the value; 32 + 41 = 73 keeps its leading zero.
    EXPECT_EQ(EncodeValue(" A", DefaultKey, false, 0, random), "073179");
    EXPECT_EQ(DecodeValue("106245164", DefaultKey), "Abc");
    EXPECT_EQ(DecodeValue("073179", DefaultKey), " A");

    // Keys outside 1..199 all mean the default key.
    for (int key : {0, -5, 200, 250}) {
        EXPECT_EQ(EncodeValue("Abc", key, false, 0, random), "106245164") << key;
        EXPECT_EQ(DecodeValue("106245164", key), "Abc") << key;
    }
    EXPECT_EQ(EncodeValue("Abc", 199, false, 0, random), "264561859");

    // 'z' with key 112 must keep its full sum (468), or it reads back as nothing.
    EXPECT_EQ(EncodeValue("zz", 112, false, 0, random), "234468");
    EXPECT_EQ(DecodeValue("234468", 112), "zz");
    EXPECT_TRUE(random.bounds.empty());
}

TEST(ValueCipherTest, FillsWithLettersFromTheAllowedRangesOnly) {
    // 29, 30 and 31 stand for '^', '_' and '`', which are drawn again.
    ScriptedRandom random({29, 0, 30, 28, 31, 32, 56});
    EXPECT_EQ(EncodeValue("A", DefaultKey, true, 7, random), "106A]ay");
    EXPECT_EQ(random.bounds, std::vector<std::uint32_t>(7, 57));

    ScriptedRandom letters({0, 12, 40});
    const std::string filled = EncodeValue("Abc", DefaultKey, true, 40, letters);
    ASSERT_EQ(filled.size(), 40u);
    EXPECT_EQ(filled.substr(0, 9), "106245164");
    EXPECT_EQ(DecodeValue(filled, DefaultKey), "Abc");

    // Already long enough: no letter, no draw.
    ScriptedRandom none({0});
    EXPECT_EQ(EncodeValue("Abcd", DefaultKey, true, 10, none).size(), 12u);
    EXPECT_EQ(EncodeValue("Abcd", DefaultKey, true, 12, none).size(), 12u);
    EXPECT_EQ(EncodeValue("Abcd", DefaultKey, false, 100, none).size(), 12u);
    EXPECT_TRUE(none.bounds.empty());

    // Blank text stays empty even when filling.
    EXPECT_EQ(EncodeValue("", DefaultKey, true, 40, none), "");
    EXPECT_EQ(EncodeValue("   ", DefaultKey, true, 40, none), "");
}

TEST(ValueCipherTest, DecodesDamagedAndFilledText) {
    EXPECT_EQ(DecodeValue("", DefaultKey), "");
    EXPECT_EQ(DecodeValue("    ", DefaultKey), "");
    EXPECT_EQ(DecodeValue("A106245", DefaultKey), "");
    EXPECT_EQ(DecodeValue("x", DefaultKey), "");

    // A trailing run of fill letters of any length is skipped.
    const std::string letters = "QwErTyUi";
    for (std::size_t n = 1; n <= letters.size(); ++n) {
        EXPECT_EQ(DecodeValue("106245164" + letters.substr(0, n), DefaultKey), "Abc") << n;
    }

    // A value cut by its field reads its last, incomplete group as a shorter number:
    // "2" after 73 gives 2 - 41 + 221 - 73 = 109 ('m').
    EXPECT_EQ(DecodeValue("0732", DefaultKey), " m");
    // A group that yields no byte code carries no character.
    EXPECT_EQ(DecodeValue("10624516", DefaultKey), "Ab");
}

TEST(ValueCipherTest, EveryPrintableCharacterRoundTripsUnderEveryNewFileKey) {
    for (int key = 13; key <= 95; ++key) {
        for (int c = 32; c <= 126; ++c) {
            std::string run(33, static_cast<char>(c));
            std::string alone(1, static_cast<char>(c));
            if (c == ' ') {
                // Only spaces would be blank, which stores as nothing.
                run.back() = alone.back() = '!';
            }
            for (const std::string& value : {run, alone}) {
                ASSERT_TRUE(StoresIntact(value, key, 100)) << "key " << key << " char " << c;
                ASSERT_EQ(ThroughField(value, key, 100), value) << "key " << key << " char " << c;
            }
        }
    }
    EXPECT_TRUE(StoresIntact("", 50, 100));
    EXPECT_TRUE(StoresIntact("   ", 50, 3));
    EXPECT_FALSE(StoresIntact(std::string(34, 'a'), 50, 100));
    EXPECT_TRUE(StoresIntact(std::string(13, 'a'), 50, 40));
    EXPECT_FALSE(StoresIntact(std::string(14, 'a'), 50, 40));
}

TEST(ValueCipherTest, StoresIntactNeverPromisesWhatDoesNotComeBack) {
    EXPECT_TRUE(StoresIntact("zyxwvuts", 95, 100));
    EXPECT_EQ(ThroughField("zyxwvuts", 95, 100), "zyxwvuts");
    EXPECT_TRUE(StoresIntact("zyx", 112, 100));
    EXPECT_EQ(ThroughField("zyx", 112, 100), "zyx");

    // Long runs of high letters under a large key outgrow three digits.
    EXPECT_FALSE(StoresIntact("zzzzzzzz", 112, 100));
    EXPECT_NE(ThroughField("zzzzzzzz", 112, 100), "zzzzzzzz");
    // NUL decodes to nothing.
    EXPECT_FALSE(StoresIntact(std::string("a\0b", 3), 50, 100));

    int refused = 0;
    for (int key : {1, 95, 112, 150, 199}) {
        for (int c = 1; c <= 255; ++c) {
            for (int n : {1, 2, 5, 33}) {
                std::string value(n, static_cast<char>(c));
                value += "aZ~";
                value = value.substr(0, 33);
                if (value.find_first_not_of(' ') == std::string::npos) {
                    continue;
                }
                if (StoresIntact(value, key, 100)) {
                    EXPECT_EQ(ThroughField(value, key, 100), value) << key << " " << c << " " << n;
                } else {
                    ++refused;
                }
            }
        }
    }
    EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace keyrack
