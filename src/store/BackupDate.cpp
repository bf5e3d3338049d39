#include "store/BackupDate.h"

#include <cctype>
#include <cstdio>

namespace keyrack {

namespace {

constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Month names in the program's languages, lower case, Windows-1252. A short form is taken when
// it begins one of them; the few short forms that do not are listed as they are.
constexpr const char* kMonthNames[12] = {
    "january january janvier januar gennaio janeiro enero januari",
    "february february f\xe9vrier februar febbraio fevereiro febrero februari",
    "march mars m\xe4rz mrz marzo mar\xe7o maart mrt",
    "april avril aprile abril",
    "may mai maggio maio mayo mei",
    "june juin juni giugno junho junio",
    "july juillet juli luglio julho julio",
    "august ao\xfbt agosto augustus",
    "september septembre settembre setembro septiembre",
    "october octobre oktober ottobre outubro octubre",
    "november novembre novembro noviembre",
    "december d\xe9\x63\x65mbre dezember dicembre dezembro diciembre desember",
};

constexpr std::size_t kShortestMonthForm = 3;

char LowerCp1252(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 0xC0 && byte <= 0xDE && byte != 0xD7) || (byte >= 'A' && byte <= 'Z')) {
        return static_cast<char>(byte + 0x20);
    }
    return c;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0 ||
           static_cast<unsigned char>(c) >= 0xC0;
}

int MonthOf(const std::string& word) {
    if (word.size() < kShortestMonthForm) {
        return 0;
    }
    for (int month = 0; month < 12; ++month) {
        const std::string names = kMonthNames[month];
        for (std::size_t at = 0; at < names.size();) {
            const std::size_t end = std::min(names.find(' ', at), names.size());
            if (names.compare(at, word.size(), word) == 0 && word.size() <= end - at) {
                return month + 1;
            }
            at = end + 1;
        }
    }
    return 0;
}

// The run of characters from at that pass keep, moving at past it.
template <typename Keep>
std::string TakeWhile(const std::string& text, std::size_t& at, Keep keep) {
    const std::size_t start = at;
    while (at < text.size() && keep(text[at])) {
        ++at;
    }
    return text.substr(start, at - start);
}

void SkipSeparators(const std::string& text, std::size_t& at) {
    while (at < text.size() && !IsDigit(text[at]) && !IsLetter(text[at])) {
        ++at;
    }
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
    std::size_t at = 0;
    SkipSeparators(text, at);
    const std::string day = TakeWhile(text, at, IsDigit);
    SkipSeparators(text, at);
    std::string month = TakeWhile(text, at, IsLetter);
    SkipSeparators(text, at);
    const std::string year = TakeWhile(text, at, IsDigit);
    for (char& c : month) {
        c = LowerCp1252(c);
    }
    CivilDateTime date;
    date.month = MonthOf(month);
    if (day.empty() || day.size() > 2 || year.size() != 4 || date.month == 0) {
        return std::nullopt;
    }
    date.day = std::stoi(day);
    date.year = std::stoi(year);
    if (date.year < 1 || date.day < 1 || date.day > DaysInMonth(date.year, date.month)) {
        return std::nullopt;
    }
    return date;
}

CivilDateTime StoredBackupDate(const std::string& decodedField) {
    return ParseBackupDate(decodedField).value_or(LongAgo);
}

}  // namespace keyrack
