#include "store/BackupDate.h"

#include <cctype>
#include <cstdio>

#include "common/Strings.h"

namespace keyrack {

namespace {

constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool AllDigits(const std::string& text) {
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return !text.empty();
}

}  // namespace

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::string FormatBackupDate(const CivilDateTime& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%s/%04d", date.day, kMonths[date.month - 1], date.year);
    return text;
}

std::optional<CivilDateTime> ParseBackupDate(const std::string& text) {
    if (text.size() < BackupDateLength) {
        return std::nullopt;
    }
    const std::string day = text.substr(0, 2);
    const std::string month = ToLowerAscii(text.substr(3, 3));
    const std::string year = text.substr(7, 4);
    if (text[2] != '/' || text[6] != '/' || !AllDigits(day) || !AllDigits(year)) {
        return std::nullopt;
    }
    CivilDateTime date;
    date.month = 0;
    for (int m = 0; m < 12; ++m) {
        if (month == ToLowerAscii(kMonths[m])) {
            date.month = m + 1;
        }
    }
    date.day = std::stoi(day);
    date.year = std::stoi(year);
    if (date.month == 0 || date.year < 1 || date.day < 1 ||
        date.day > DaysInMonth(date.year, date.month)) {
        return std::nullopt;
    }
    return date;
}

}  // namespace keyrack
