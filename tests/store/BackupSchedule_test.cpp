#include <gtest/gtest.h>

#include "store/BackupSchedule.h"

namespace keyrack {
namespace {

TEST(BackupScheduleTest, DueOnceTheChosenPeriodHasPassed) {
    struct Case {
        const char* period;
        CivilDateTime last;
        CivilDateTime now;
        bool due;
    };
    const Case cases[] = {
        {"D", {2026, 12, 5, 23, 59}, {2026, 12, 6, 0, 0, 1}, true},  // yesterday 23:59
        {"D", {2026, 12, 6, 0, 0}, {2026, 12, 6, 23, 59}, false},
        {"D", {2026, 12, 31, 23, 0}, {2027, 1, 1, 0, 30}, true},
        {"M", {2026, 1, 31, 22}, {2026, 2, 1, 8}, true},  // the 31st, then the 1st
        {"M", {2026, 1, 1}, {2026, 1, 31, 23, 59}, false},
        {"M", {2026, 12, 31}, {2027, 1, 1}, true},
        {"W", {2026, 11, 30, 9}, {2026, 12, 6, 23, 59}, false},    // six days
        {"W", {2026, 11, 29, 23, 59}, {2026, 12, 6, 0, 1}, true},  // seven
        {"W", {2028, 2, 23}, {2028, 3, 1}, true},                  // over the leap day
        {"W", {2027, 2, 23}, {2027, 3, 1}, false},
        {"", {2020, 1, 1}, {2026, 12, 6}, false},    // no period: never
        {"D", {2026, 12, 7}, {2026, 12, 6}, false},  // clock turned back
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BackupDue(true, c.period, c.last, c.now), c.due)
            << c.period << " " << c.last.year << "-" << c.last.month << "-" << c.last.day;
        EXPECT_FALSE(BackupDue(false, c.period, c.last, c.now));
    }
    EXPECT_EQ(BackupPeriodsPassed("D", {1999, 12, 31}, {2026, 12, 6}), 9837);
}

}  // namespace
}  // namespace keyrack
