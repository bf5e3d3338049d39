#include "store/ConflictCopyName.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace keyrack {
namespace {

TEST(ConflictCopyNameTest, KnowsTheThreeEnginesNamesAndNothingThatOnlyLooksLikeThem) {
    const std::pair<const char*, bool> cases[] = {
        {"cli.sync-conflict-20261206-101500-ABCDEF7.rkd", true},
        {"cli (conflicted copy 2026-12-06 101500).rkd", true},
        {"cli (Laptop's conflicted copy 2026-12-06).rkd", true},
        {"cli (Laptop's conflicted copy 2026-12-06 (1)).rkd", true},
        {"cli.sync-conflict-20261206-101500-ABCDEF7.rkd.lock", false},
        {"cli.sync-conflict-2026-12-06-ABCDEF7.rkd", false},
        {"other (conflicted copy 2026-12-06 101500).rkd", false},
        {"clixrkd (conflicted copy 2026-12-06 101500).rkd", false},
        {"cli (conflicted copy 2026-12-06 101500).rkd.merged", false},
    };
    for (const auto& [name, copy] : cases) {
        EXPECT_EQ(IsConflictCopyName(name, "cli.rkd"), copy) << name;
    }
    const std::set<std::string> taken = {"a.rkd.merged", "a.rkd.merged-2"};
    EXPECT_EQ(MergedCopyName("a.rkd", [&](const std::string& n) { return taken.count(n) > 0; }),
              "a.rkd.merged-3");
}

}  // namespace
}  // namespace keyrack
