#include "lang/QtTranslations.h"

namespace keyrack {

std::vector<std::string> QtTranslationLocales(const std::string& language) {
    // The catalogue's Portuguese is Brazilian; Qt has Norwegian as Bokmål or, else, Nynorsk.
    if (language == "FRENCH")
        return {"fr"};
    if (language == "GERMAN")
        return {"de"};
    if (language == "ITALIAN")
        return {"it"};
    if (language == "SPANISH")
        return {"es"};
    if (language == "DUTCH")
        return {"nl"};
    if (language == "PORTUGUESE")
        return {"pt_BR", "pt_PT", "pt"};
    if (language == "NORWEGIAN")
        return {"nb", "no", "nn"};
    return {};
}

}  // namespace keyrack
