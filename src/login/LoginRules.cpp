#include "login/LoginRules.h"

#include "common/Strings.h"
#include "store/ValueCipher.h"

namespace keyrack {

namespace {
constexpr int kCredentialFieldWidth = 100;
}

LoginDecision DecideLogin(const std::string& typedUserName, const std::string& typedPassword,
                          const std::string& defaultUserName, const std::string& defaultPassword,
                          const StoredCredentials& stored) {
    const bool nothingStored = IsBlank(stored.userName) && IsBlank(stored.password);
    if (nothingStored && typedUserName == defaultUserName && typedPassword == defaultPassword) {
        return LoginDecision::StartSetup;
    }
    if (!IsBlank(stored.userName) && !IsBlank(stored.password) &&
        typedUserName == stored.userName && typedPassword == stored.password) {
        return LoginDecision::Accept;
    }
    return LoginDecision::Refuse;
}

bool CanStoreCredential(const std::string& value) {
    return StoresIntact(value, LoginKey, kCredentialFieldWidth);
}

}  // namespace keyrack
