#pragma once

#include <string>

namespace keyrack::platform {

// A value of the desktop's own settings (on Windows, WIN.INI as the profile API presents it).
// Elsewhere only [intl] sLanguage is known; it is derived from the locale so that the language
// table recognises it. Anything unknown gives "".
std::string ReadWinIniValue(const std::string& section, const std::string& key);

// The locale the user chose for messages: the first of LC_ALL, LC_MESSAGES and LANG that is set
// and not empty, or "" when none is.
std::string CurrentLocaleName();

// The desktop language setting matching a POSIX locale such as "de_DE.UTF-8": the three-letter
// abbreviation ("DEU") for English, French and German, otherwise the lower-case language code,
// with the region where the program tells regions apart ("es-mx", "pt-br", "nl-be").
// "C", "POSIX" and "" give "".
std::string LanguageSettingFromLocale(const std::string& locale);

}  // namespace keyrack::platform
