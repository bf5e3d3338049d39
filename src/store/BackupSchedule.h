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

// Holds the automatic backup back while a restore or a question is in progress: a timer that
// fires inside a question's event loop must not copy the data file over the only backup while
// the user is deciding whether to restore it.
class BackupHold {
  public:
    // Holds the backup back until the returned scope ends; scopes may nest.
    class Scope {
      public:
        explicit Scope(int& holds) : holds_(&holds) { ++*holds_; }
        ~Scope() { --*holds_; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        int* holds_;
    };

    [[nodiscard]] Scope Hold() { return Scope(holds_); }
    bool Held() const { return holds_ > 0; }

  private:
    int holds_ = 0;
};

// The period after the user picked the item of letter: picking the current period again
// clears it, any other pick replaces it.
std::string ChosenBackupPeriod(const std::string& current, const std::string& letter);

// The settings text: "Y" or "N" followed by the period letter.
std::string BackupSettingText(bool switchedOn, const std::string& period);

}  // namespace keyrack
