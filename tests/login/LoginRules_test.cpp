#include "login/LoginRules.h"

#include <gtest/gtest.h>

#include <string>

namespace keyrack {
namespace {

TEST(LoginRulesTest, SetUpNeedsNothingStoredAndLoginNeedsTheExactCredentials) {
    struct Case {
        std::string user;
        std::string password;
        StoredCredentials stored;
        LoginDecision expected;
    };
    const StoredCredentials none{};
    const StoredCredentials me{"Me", "pass word"};
    const Case cases[] = {
        {SetupWord, SetupWord, none, LoginDecision::StartSetup},
        {SetupWord, SetupWord, {"  ", " "}, LoginDecision::StartSetup},
        {"vaultlocker", SetupWord, none, LoginDecision::Refuse},
        {SetupWord, "VaultLocker ", none, LoginDecision::Refuse},
        {"Me", "pass word", me, LoginDecision::Accept},
        {"me", "pass word", me, LoginDecision::Refuse},
        {"Me ", "pass word", me, LoginDecision::Refuse},
        {"Me", "pass word ", me, LoginDecision::Refuse},
        {SetupWord, SetupWord, me, LoginDecision::Refuse},
        // Half a set of credentials lets nobody in, and does not start the set-up again.
        {"Me", "", {"Me", ""}, LoginDecision::Refuse},
        {SetupWord, SetupWord, {"", "pw"}, LoginDecision::Refuse},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecideLogin(c.user, c.password, SetupWord, SetupWord, c.stored), c.expected)
            << "'" << c.user << "' '" << c.password << "'";
    }
    EXPECT_TRUE(CanStoreCredential(std::string(33, 'x')));
    EXPECT_FALSE(CanStoreCredential(std::string(34, 'x')));
    // High Windows-1252 bytes climb fast under the login key: three fit, four do not.
    EXPECT_TRUE(CanStoreCredential(std::string(3, '\xff')));
    EXPECT_FALSE(CanStoreCredential(std::string(4, '\xff')));
}

}  // namespace
}  // namespace keyrack
