#pragma once

#include <optional>
#include <string>

#include "common/CivilTime.h"

// The last backup date as the settings record keeps it: "06/Dec/2026", the same whatever the
// system's language, so a file written under one language reads back under any other.
namespace keyrack {

constexpr int BackupDateLength = 11;

std::string FormatBackupDate(const CivilDateTime& date);

// The date in the first eleven characters of text (time of day 00:00:00), or nothing when
// they are not a real date in that form.
std::optional<CivilDateTime> ParseBackupDate(const std::string& text);

}  // namespace keyrack
