#include "generator/PasswordType.h"

#include "common/Strings.h"

namespace keyrack {

void ApplyPasswordTypeDefaults(PasswordTypeSettings& settings) {
    if (settings.length.empty() || Val(settings.length) == 0) {
        settings.length = "8";
    }
    if (settings.caseSet.empty()) {
        settings.caseSet = "Y";
    }
    if (settings.type.empty()) {
        settings.type = "ALPHA";
    }
}

}  // namespace keyrack
