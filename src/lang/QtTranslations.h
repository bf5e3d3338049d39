#pragma once

#include <string>
#include <vector>

namespace keyrack {

// The locale names of Qt's own translations for a catalogue language ("GERMAN" gives "de"), the
// best first; none for English, whose texts Qt has built in.
std::vector<std::string> QtTranslationLocales(const std::string& language);

// Makes Qt's own boxes (input box, Yes/No questions) speak the catalogue language, replacing
// what an earlier call installed. False when no translation of Qt for it could be loaded; Qt
// then shows its English texts.
bool InstallQtTranslations(const std::string& language);

}  // namespace keyrack
