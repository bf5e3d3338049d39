#include "login/IdleLock.h"

#include <gtest/gtest.h>

namespace keyrack {
namespace {

TEST(IdleLockTest, DueOnceTheChosenMinutesHavePassedWhateverTheLocalTimeShows) {
    constexpr long long kMinute = 60000;
    struct Case {
        long long last;
        long long now;
        int minutes;
        bool due;
    };
    const Case cases[] = {
        {0, 5 * kMinute - 1, 5, false},
        {0, 5 * kMinute, 5, true},
        // Summer time ended an hour after the last input: local time shows no time passed.
        {3 * kMinute, 63 * kMinute, 60, true},
        {0, 1000 * kMinute, 0, false},  // never
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IdleLockDue(c.last, c.now, c.minutes), c.due) << c.now;
    }
    EXPECT_EQ(LockMinutesFromSetting(15), 15);
    EXPECT_EQ(LockMinutesFromSetting(0), 0);
    EXPECT_EQ(LockMinutesFromSetting(7), DefaultLockMinutes);
}

}  // namespace
}  // namespace keyrack
