#include <gtest/gtest.h>

#include <tuple>

#include "store/BackupSchedule.h"

namespace keyrack {
namespace {

TEST(BackupScheduleTest, DueOnceTheChosenPeriodHasPassed) {
    // The period, the last backup, now, and whether one is due.
    const std::tuple<const char*, CivilDateTime, CivilDateTime, bool> cases[] = {
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
    for (const auto& [period, last, now, due] : cases) {
        EXPECT_EQ(BackupDue(true, period, last, now), due) << period << " " << last.month;
        EXPECT_FALSE(BackupDue(false, period, last, now));
    }
    EXPECT_EQ(BackupPeriodsPassed("D", {1999, 12, 31}, {2026, 12, 6}), 9837);
}

}  // namespace
}  // namespace keyrack
