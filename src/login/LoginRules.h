#pragma once

#include <string>

// What the login dialog decides from what was typed. All comparisons are exact: case counts
// and nothing is trimmed.
namespace keyrack {

// The user name and password that start the first-run set-up.
constexpr const char* SetupWord = "VaultLocker";

enum class LoginDecision { StartSetup, Accept, Refuse };

struct StoredCredentials {
    std::string userName;
    std::string password;
};

LoginDecision DecideLogin(const std::string& typedUserName, const std::string& typedPassword,
                          const std::string& defaultUserName, const std::string& defaultPassword,
                          const StoredCredentials& stored);

// Whether a set-up answer (user name, password or hint) can be stored and read back intact.
bool CanStoreCredential(const std::string& value);

}  // namespace keyrack
