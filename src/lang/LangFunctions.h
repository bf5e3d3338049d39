#pragma once

#include <array>
#include <cstddef>
#include <string>

// The message catalogue: every text the program shows comes from lang.ini (see CataloguePath),
// one line per message with the translations separated by "|".
namespace keyrack::LangFunctions {

// The catalogue's columns, in the order the translations stand on a lang.ini line.
enum LanguageColumn : std::size_t {
    kEnglish,
    kFrench,
    kGerman,
    kItalian,
    kPortuguese,
    kSpanish,
    kDutch,
    kNorwegian,
};
constexpr std::size_t kLanguageCount = 8;
constexpr std::size_t kMessageCount = 200;  // messages 0 to 199

// MessageTexts[column][number]; empty until LoadMessages fills it.
extern std::array<std::array<std::string, kMessageCount>, kLanguageCount> MessageTexts;
// Whether the last LoadMessages succeeded.
extern bool MessagesLoaded;
// The catalogue language in use ("ENGLISH", "FRENCH", ...); blank until DetectLanguage runs.
extern std::string CurrentLanguage;
// The desktop's language setting, upper-cased, as DetectLanguage last read it.
extern std::string SystemLanguage;

// Fills the catalogue from CataloguePath(). Fails, leaving MessagesLoaded false, when
// the file has no numeric [Messages] "number" or counts more messages than the catalogue holds;
// in the latter case the messages read before giving up stay stored.
void LoadMessages();

// The text of message number in the current language, falling back to English where the
// translation is blank. Chooses the language and loads the catalogue on first use; while the
// catalogue cannot be loaded, every message is empty and the next call tries again.
std::string GetMessage(int number);

// Chooses CurrentLanguage from the desktop's language setting.
void DetectLanguage();

// Back to the state at program start: nothing loaded, no language chosen.
void ResetCatalogue();

}  // namespace keyrack::LangFunctions
