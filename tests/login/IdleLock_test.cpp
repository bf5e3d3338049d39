#include "login/IdleLock.h"

#include <gtest/gtest.h>

namespace keyrack {
namespace {

TEST(IdleLockTest, DueOnceTheChosenMinutesHavePassedAcrossDaysAndMonths) {
    struct Case {
        CivilDateTime last;
        CivilDateTime now;
        int minutes;
        bool due;
    };
    const Case cases[] = {
        {{2026, 12, 6, 10, 0, 0}, {2026, 12, 6, 10, 4, 59}, 5, false},
        {{2026, 12, 6, 10, 0, 0}, {2026, 12, 6, 10, 5, 0}, 5, true},
        {{2026, 1, 31, 23, 58, 0}, {2026, 2, 1, 0, 0, 30}, 1, true},
        {{2026, 12, 31, 23, 30, 0}, {2027, 1, 1, 0, 29, 0}, 60, false},
        {{2026, 12, 6, 10, 0, 0}, {2027, 12, 6, 10, 0, 0}, 0, false},  // never
        {{2026, 12, 6, 10, 0, 0}, {2026, 12, 6, 9, 0, 0}, 1, false},   // the clock went back
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IdleLockDue(c.last, c.now, c.minutes), c.due) << c.minutes;
    }
    EXPECT_EQ(LockMinutesFromSetting(15), 15);
    EXPECT_EQ(LockMinutesFromSetting(0), 0);
    EXPECT_EQ(LockMinutesFromSetting(7), DefaultLockMinutes);
}

}  // namespace
}  // namespace keyrack
