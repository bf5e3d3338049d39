#pragma once

#include <string>

#include "common/CivilTime.h"

// When the automatic backup is due, and how its switch and period are kept in the settings
// record.
namespace keyrack {

// Periods of the unit period names ("D" day, "W" week, "M" month) from last to now: "D"
// counts changes of calendar date, "W" whole weeks of seven calendar days, "M" changes of
// calendar month. Any other period counts nothing, so no backup is ever due for it.
long BackupPeriodsPassed(const std::string& period, const CivilDateTime& last,
                         const CivilDateTime& now);

// Whether the automatic backup is to be made now.
bool BackupDue(bool switchedOn, const std::string& period, const CivilDateTime& last,
               const CivilDateTime& now);

// The period after the user picked the item of letter: picking the current period again
// clears it, any other pick replaces it.
std::string ChosenBackupPeriod(const std::string& current, const std::string& letter);

// The settings text: "Y" or "N" followed by the period letter.
std::string BackupSettingText(bool switchedOn, const std::string& period);

}  // namespace keyrack
