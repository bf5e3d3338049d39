#include "generator/PasswordType.h"

#include <gtest/gtest.h>

namespace keyrack {
namespace {

PasswordTypeSettings WithDefaults(PasswordTypeSettings settings) {
    ApplyPasswordTypeDefaults(settings);
    return settings;
}

TEST(PasswordTypeTest, OnlyMissingSettingsTakeTheirDefaults) {
    const PasswordTypeSettings empty = WithDefaults({});
    EXPECT_EQ(empty.type, "ALPHA");
    EXPECT_EQ(empty.caseSet, "Y");
    EXPECT_EQ(empty.length, "8");

    const PasswordTypeSettings given = WithDefaults({"NUMERIC", "N", "12"});
    EXPECT_EQ(given.type, "NUMERIC");
    EXPECT_EQ(given.caseSet, "N");
    EXPECT_EQ(given.length, "12");

    for (const char* length : {"abc", "0", " ", "0.0", "x8"}) {
        EXPECT_EQ(WithDefaults({"ALPHA", "Y", length}).length, "8") << length;
    }
}

}  // namespace
}  // namespace keyrack
