#include "login/LoginRules.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace keyrack {
namespace {

TEST(LoginRulesTest, SetUpNeedsNothingStoredAndLoginNeedsTheExactCredentials) {
    const StoredCredentials none{};
    const StoredCredentials me{"Me", "pass word"};
    const std::tuple<std::string, std::string, StoredCredentials, LoginDecision> cases[] = {
        {SetupWord, SetupWord, none, LoginDecision::StartSetup},
        {SetupWord, SetupWord, {"  ", " "}, LoginDecision::StartSetup},
        {SetupWord, "VaultLocker ", none, LoginDecision::Refuse},
        {"Me", "pass word", me, LoginDecision::Accept},
        {"me", "pass word", me, LoginDecision::Refuse},
        {"Me", "pass word ", me, LoginDecision::Refuse},
        {SetupWord, SetupWord, me, LoginDecision::Refuse},
        // Half a set of credentials lets nobody in, and does not start the set-up again.
        {"Me", "", {"Me", ""}, LoginDecision::Refuse},
        {SetupWord, SetupWord, {"", "pw"}, LoginDecision::Refuse},
    };
    for (const auto& [user, password, stored, expected] : cases) {
        EXPECT_EQ(DecideLogin(user, password, SetupWord, SetupWord, stored), expected)
            << "'" << user << "' '" << password << "'";
    }
    EXPECT_TRUE(CanStoreCredential(std::string(33, 'x')));
    EXPECT_FALSE(CanStoreCredential(std::string(34, 'x')));
    // High Windows-1252 bytes climb fast under the login key: three fit, four do not.
    EXPECT_TRUE(CanStoreCredential(std::string(3, '\xff')));
    EXPECT_FALSE(CanStoreCredential(std::string(4, '\xff')));
}

}  // namespace
}  // namespace keyrack
