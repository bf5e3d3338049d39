#include "common/Strings.h"

#include <gtest/gtest.h>

namespace keyrack {
namespace {

// Stored counts and keys go through Val and catalogue lines through GetField: a slip misreads
// every value after it.
TEST(StringsTest, GetFieldKeepsInnerSpacesAndValReadsTheLeadingNumber) {
    EXPECT_EQ(GetField(" a|b | c ", "|", 1), "a");
    EXPECT_EQ(GetField(" a|b | c ", "|", 2), "b ");
    EXPECT_EQ(GetField(" a|b | c ", "|", 3), " c");
    EXPECT_EQ(GetField(" a|b | c ", "|", 4), "");
    EXPECT_EQ(GetField("a::b::c", "::", 3), "c");
    EXPECT_EQ(Val("07"), 7);
    EXPECT_EQ(Val("  42abc"), 42);
    EXPECT_EQ(Val("-3.25x"), -3.25);
    EXPECT_EQ(Val("abc"), 0);
}

}  // namespace
}  // namespace keyrack
