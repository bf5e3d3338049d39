#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "store/ValueCipher.h"

namespace keyrack {
namespace {

// Each row: plain text, key, its encoding without fill, and what that encoding decodes to.
TEST(CipherBoundariesTest, EachEdgeOfTheRulesEncodesAndDecodesAsFilesRelyOn) {
    const std::tuple<const char*, std::string, int, std::string, std::string> rows[] = {
        // Under key 199, characters 134 keep their full running sum up to 999 ...
        {"sum reaching 999 kept whole", "\x86\x86\x86", 199, "333666999", "\x86\x86\x86"},
        // ... and one more is reduced by 221, which the decoder cannot undo: that one is lost.
        {"sum of 1000 reduced", "\x86\x86\x87", 199, "333666779", "\x86\x86"},
        {"largest valid key", "A", 199, "264", "A"},
        {"first invalid key stands for the default", "A", 200, "106", "A"},
    };
    for (const auto& [what, plain, key, encoded, decoded] : rows) {
        EXPECT_EQ(EncodeValue(plain, key, false, 0), encoded) << what;
        EXPECT_EQ(DecodeValue(encoded, key), decoded) << what;
        EXPECT_EQ(StoresIntact(plain, key, 100), plain == decoded) << what;
    }

    // Text is encoded only when its first character is below 61: "<" is 60, "=" is 61.
    EXPECT_EQ(DecodeValue("<12106", 41), "A");
    EXPECT_EQ(DecodeValue("=12106", 41), "");
    // A damaged group that gives a code above 255 carries no character.
    EXPECT_EQ(DecodeValue("066999", 1), "A");
    EXPECT_EQ(DecodeValue("999", 1), "");
}

}  // namespace
}  // namespace keyrack
