#pragma once

#include <string>

namespace keyrack {

// The catalogue language ("ENGLISH", "FRENCH", "GERMAN", "ITALIAN", "SPANISH", "DUTCH",
// "PORTUGUESE" or "NORWEGIAN") for a desktop language setting such as "enu", "deu" or "es-mx".
// The setting is trimmed and compared without regard to case; unknown settings give "ENGLISH".
std::string LanguageForCode(const std::string& setting);

}  // namespace keyrack
