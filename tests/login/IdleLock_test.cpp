#include "login/IdleLock.h"

#include <gtest/gtest.h>

#include <tuple>

namespace keyrack {
namespace {

TEST(IdleLockTest, DueOnceTheChosenMinutesHavePassedWhateverTheLocalTimeShows) {
    constexpr long long kMinute = 60000;
    // The last input, now, the chosen minutes, and whether the lock is due.
    const std::tuple<long long, long long, int, bool> cases[] = {
        {0, 5 * kMinute - 1, 5, false},
        {0, 5 * kMinute, 5, true},
        // Summer time ended an hour after the last input: local time shows no time passed.
        {3 * kMinute, 63 * kMinute, 60, true},
        {0, 1000 * kMinute, 0, false},  // never
    };
    for (const auto& [last, now, minutes, due] : cases) {
        EXPECT_EQ(IdleLockDue(last, now, minutes), due) << now;
    }
    EXPECT_EQ(LockMinutesFromSetting(15), 15);
    EXPECT_EQ(LockMinutesFromSetting(0), 0);
    EXPECT_EQ(LockMinutesFromSetting(7), DefaultLockMinutes);
}

}  // namespace
}  // namespace keyrack
