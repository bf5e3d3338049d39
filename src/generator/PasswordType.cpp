#include "generator/PasswordType.h"

#include <algorithm>
#include <cmath>

#include "common/Strings.h"
#include "store/RecordStore.h"
#include "store/ValueCipher.h"

namespace keyrack {

static_assert(MaxPasswordLength == PlainCapacity(FieldWidths[3]),
              "a generated password must fit the password field");

namespace {

const char* const kDefaultLength = "8";

}  // namespace

void ApplyPasswordTypeDefaults(PasswordTypeSettings& settings) {
    if (settings.length.empty() || Val(settings.length) == 0) {
        settings.length = kDefaultLength;
    }
    if (settings.caseSet.empty()) {
        settings.caseSet = "Y";
    }
    if (settings.type.empty()) {
        settings.type = "ALPHA";
    }
}

PasswordTypeSettings DialogSettings(const PasswordTypeSettings& settings) {
    PasswordTypeSettings read = settings;
    if (read.type != "ALPHA" && read.type != "NUMERIC" && read.type != "ALPHANUMERIC") {
        read.type = "ALPHA";
    }
    if (read.caseSet != "Y" && read.caseSet != "N") {
        read.caseSet = "Y";
    }
    read.length = DialogLength(settings.length);
    return read;
}

int PasswordLength(const std::string& text) {
    const double length = Val(text);
    if (!(length > 0)) {
        return 0;
    }
    return static_cast<int>(std::min(std::ceil(length), double{MaxPasswordLength}));
}

std::string DialogLength(const std::string& text) {
    const int length = PasswordLength(text);
    return length > 0 ? std::to_string(length) : kDefaultLength;
}

}  // namespace keyrack
