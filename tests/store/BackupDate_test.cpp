#include "store/BackupDate.h"

#include <gtest/gtest.h>

#include <string>

namespace keyrack {
namespace {

CivilDateTime Date(int year, int month, int day) {
    CivilDateTime date;
    date.year = year;
    date.month = month;
    date.day = day;
    return date;
}

TEST(BackupDateTest, WritesEnglishMonthsAndReadsThemBack) {
    EXPECT_EQ(FormatBackupDate(Date(2026, 12, 6)), "06/Dec/2026");
    EXPECT_EQ(FormatBackupDate(Date(2024, 2, 29)), "29/Feb/2024");
    for (int month = 1; month <= 12; ++month) {
        const CivilDateTime date = Date(2025, month, 28);
        EXPECT_EQ(ParseBackupDate(FormatBackupDate(date)), date) << month;
    }
    EXPECT_EQ(ParseBackupDate("06/dec/2026"), Date(2026, 12, 6));
    EXPECT_EQ(ParseBackupDate("06/DEC/2026"), Date(2026, 12, 6));
    EXPECT_EQ(ParseBackupDate("06/dEc/2026 trailing"), Date(2026, 12, 6));
    EXPECT_EQ(ParseBackupDate("29/Feb/2024"), Date(2024, 2, 29));
}

TEST(BackupDateTest, RefusesWhatIsNotARealDate) {
    for (const char* text :
         {"", "6/Dec/2026", "06/Dec/202", "31/Feb/2026", "29/Feb/2025", "29/Feb/1900",
          "xx/Dec/2026", "06/Dez/2026", "06-Dec-2026", "00/Dec/2026", "32/Jan/2026", "06/Dec/0000",
          "06/Dec/20x6", "+6/Dec/2026", "06/12/ 2026"}) {
        EXPECT_FALSE(ParseBackupDate(text).has_value()) << text;
    }
}

}  // namespace
}  // namespace keyrack
