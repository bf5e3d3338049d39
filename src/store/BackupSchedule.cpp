#include "store/BackupSchedule.h"

namespace keyrack {

namespace {

// Days since 1 March of year 0 in the proleptic Gregorian calendar; only differences matter.
long DayNumber(const CivilDateTime& date) {
    const long year = date.month <= 2 ? date.year - 1 : date.year;
    const long month = date.month <= 2 ? date.month + 9 : date.month - 3;
    return 365 * year + year / 4 - year / 100 + year / 400 + (153 * month + 2) / 5 + date.day - 1;
}

long MonthNumber(const CivilDateTime& date) {
    return 12L * date.year + date.month - 1;
}

}  // namespace

long BackupPeriodsPassed(const std::string& period, const CivilDateTime& last,
                         const CivilDateTime& now) {
    const long days = DayNumber(now) - DayNumber(last);
    if (period == "D") {
        return days;
    }
    if (period == "W") {
        return days / 7;
    }
    if (period == "M") {
        return MonthNumber(now) - MonthNumber(last);
    }
    return 0;
}

bool BackupDue(bool switchedOn, const std::string& period, const CivilDateTime& last,
               const CivilDateTime& now) {
    return switchedOn && BackupPeriodsPassed(period, last, now) > 0;
}

std::string ChosenBackupPeriod(const std::string& current, const std::string& letter) {
    return current == letter ? std::string() : letter;
}

std::string BackupSettingText(bool switchedOn, const std::string& period) {
    return (switchedOn ? "Y" : "N") + period;
}

}  // namespace keyrack
