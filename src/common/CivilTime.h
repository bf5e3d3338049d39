#pragma once

namespace keyrack {

// A local calendar date and time of day, as the user's clock shows it.
struct CivilDateTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;

    friend bool operator==(const CivilDateTime& a, const CivilDateTime& b) {
        return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
               a.minute == b.minute && a.second == b.second;
    }
    friend bool operator!=(const CivilDateTime& a, const CivilDateTime& b) { return !(a == b); }
};

int DaysInMonth(int year, int month);

}  // namespace keyrack
