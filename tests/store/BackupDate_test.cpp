#include "store/BackupDate.h"

#include <gtest/gtest.h>

#include <string>

namespace keyrack {
namespace {

// The same English form must come back whatever the system's language was when it was written.
TEST(BackupDateTest, WritesEnglishMonthsReadsThemBackAndRefusesNonDates) {
    EXPECT_EQ(FormatBackupDate(CivilDateTime{2026, 12, 6, 0, 0, 0}), "06/Dec/2026");
    for (int month = 1; month <= 12; ++month) {
        const CivilDateTime date{2000, month, 29, 0, 0, 0};
        EXPECT_EQ(ParseBackupDate(FormatBackupDate(date)), date) << month;
    }
    EXPECT_EQ(ParseBackupDate("06/dEC/2026 and more"), (CivilDateTime{2026, 12, 6, 0, 0, 0}));
    for (const char* text : {"06/Dec/202", "06/Dec/0000", "29/Feb/1900", "31/Apr/2026",
                             "06/Dez/2026", "00/Dec/2026", "06-Dec-2026", "06/Dec/20x6"}) {
        EXPECT_FALSE(ParseBackupDate(text).has_value()) << text;
    }
}

}  // namespace
}  // namespace keyrack
