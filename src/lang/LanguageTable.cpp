#include "lang/LanguageTable.h"

#include <vector>

#include "common/Strings.h"

namespace keyrack {

namespace {

constexpr char kFallbackLanguage[] = "ENGLISH";

struct LanguageCodes {
    std::string language;
    std::vector<std::string> codes;
};

// Rows are searched in order. The English row carries the desktop's three-letter abbreviations
// as well as the older spelled-out names, because both turn up in the setting.
const std::vector<LanguageCodes>& LanguageRows() {
    static const std::vector<LanguageCodes> rows = {
        {"ENGLISH",
         {"australian",
          "ena",
          "english-aus",
          "canadian",
          "enc",
          "english-can",
          "english",
          "english-nz",
          "enz",
          "eng",
          "english-uk",
          "uk",
          "american",
          "american english",
          "american-english",
          "english-american",
          "english-us",
          "english-usa",
          "enu",
          "us",
          "usa"}},
        {"FRENCH",
         {"frb", "french-belgian", "frc", "french-canadian", "fra", "french", "french-swiss",
          "frs"}},
        {"GERMAN", {"dea", "german-austrian", "deu", "german", "des", "german-swiss", "swiss"}},
        {"ITALIAN", {"it"}},
        {"SPANISH",
         {"es", "es-cr", "es-do", "es-co", "es-ar", "es-cl", "es-py", "es-sv", "es-ni", "es-mx",
          "es-gt", "es-pa", "es-pe", "es-ve", "es-ec", "es-uy", "es-bo", "es-hn", "es-pr"}},
        {"DUTCH", {"nl", "nl-be"}},
        {"PORTUGUESE", {"pt", "pt-br"}},
        {"NORWEGIAN", {"no"}},
    };
    return rows;
}

}  // namespace

std::string LanguageForCode(const std::string& setting) {
    const std::string code = ToLowerAscii(Trim(setting));
    for (const LanguageCodes& row : LanguageRows()) {
        for (const std::string& known : row.codes) {
            if (known == code) {
                return row.language;
            }
        }
    }
    return kFallbackLanguage;
}

}  // namespace keyrack
