#pragma once

#include <optional>
#include <string>

#include "common/CivilTime.h"

// The last backup date as the settings record keeps it. This version writes "06/Dec/2026", the
// same whatever the system's language; earlier versions wrote the day, the month's short name
// in the system's language and the year with the system's date separator ("06.Dez.2026",
// "06-déc.-2026"), and those must read back too.
namespace keyrack {

constexpr int BackupDateLength = 11;

// What a date that cannot be read stands for: so long ago that a backup is due.
constexpr CivilDateTime LongAgo{1970, 1, 1, 0, 0, 0};

std::string FormatBackupDate(const CivilDateTime& date);

// The date (time of day 00:00:00) in text: a day of one or two digits, a month name or its
// short form in any of the program's languages (Windows-1252), and a four-digit year, with
// any separators between them and anything after the year. Nothing when it is not a real date
// in that form.
std::optional<CivilDateTime> ParseBackupDate(const std::string& text);

// The stored date, or LongAgo when the field holds none that can be read (empty included).
CivilDateTime StoredBackupDate(const std::string& decodedField);

}  // namespace keyrack
