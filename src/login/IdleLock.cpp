#include "login/IdleLock.h"

namespace keyrack {

namespace {

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
long long DaysFromCivil(int year, int month, int day) {
    const int y = month <= 2 ? year - 1 : year;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

long long SecondsOf(const CivilDateTime& time) {
    return DaysFromCivil(time.year, time.month, time.day) * 86400 + time.hour * 3600LL +
           time.minute * 60LL + time.second;
}

}  // namespace

int LockMinutesFromSetting(int stored) {
    for (int choice : LockChoices) {
        if (choice == stored) {
            return stored;
        }
    }
    return DefaultLockMinutes;
}

bool IdleLockDue(const CivilDateTime& lastInput, const CivilDateTime& now, int minutes) {
    return minutes > 0 && SecondsOf(now) - SecondsOf(lastInput) >= minutes * 60LL;
}

bool IdleLockDue(long long lastInputMilliseconds, long long nowMilliseconds, int minutes) {
    return minutes > 0 && nowMilliseconds - lastInputMilliseconds >= minutes * 60000LL;
}

}  // namespace keyrack
