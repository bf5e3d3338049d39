#include "common/Strings.h"

#include <gtest/gtest.h>

#include <string>

namespace keyrack {
namespace {

TEST(StringsTest, OnlyTheSpaceCharacterIsTrimmed) {
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\ta\t"), "\ta\t");
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank("    "));
    EXPECT_FALSE(IsBlank("\t"));
    EXPECT_FALSE(IsBlank(std::string(1, '\0')));
    EXPECT_EQ(ToUpperAscii("abz-\xe9"), "ABZ-\xe9");
    EXPECT_EQ(ToLowerAscii("ABZ-\xc9"), "abz-\xc9");
}

TEST(StringsTest, GetFieldSplitsTheTrimmedText) {
    EXPECT_EQ(GetField(" a|b | c ", "|", 1), "a");
    EXPECT_EQ(GetField(" a|b | c ", "|", 2), "b ");
    EXPECT_EQ(GetField(" a|b | c ", "|", 3), " c");
    EXPECT_EQ(GetField(" a|b | c ", "|", 4), "");
    EXPECT_EQ(GetField("a||c", "|", 2), "");
    EXPECT_EQ(GetField("a::b::c", "::", 3), "c");
    EXPECT_EQ(GetField("abc", "|", 1), "abc");
    EXPECT_EQ(GetField("a|b", "|", 0), "");
    EXPECT_EQ(GetField("a b", " ", 1), "");
    EXPECT_EQ(GetField("  ", "|", 1), "");
}

TEST(StringsTest, ValReadsTheLeadingNumberAndHalvesRoundToEven) {
    EXPECT_EQ(Val("  42abc"), 42);
    EXPECT_EQ(Val("-7"), -7);
    EXPECT_EQ(Val("+3.25x"), 3.25);
    EXPECT_EQ(Val(".5"), 0.5);
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val("-"), 0);
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("1 2"), 1);

    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.51), 3);
}

}  // namespace
}  // namespace keyrack
