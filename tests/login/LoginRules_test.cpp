#include "login/LoginRules.h"

#include <gtest/gtest.h>

#include <string>

namespace keyrack {
namespace {

LoginDecision Decide(const std::string& user, const std::string& password,
                     const StoredCredentials& stored) {
    return DecideLogin(user, password, SetupWord, SetupWord, stored);
}

TEST(LoginRulesTest, SetUpStartsOnlyWithNothingStoredAndTheExactDefaults) {
    for (const StoredCredentials& none : {StoredCredentials{}, StoredCredentials{"  ", " "}}) {
        EXPECT_EQ(Decide(SetupWord, SetupWord, none), LoginDecision::StartSetup);
        EXPECT_EQ(Decide("vaultlocker", SetupWord, none), LoginDecision::Refuse);
        EXPECT_EQ(Decide(SetupWord, "VaultLocker ", none), LoginDecision::Refuse);
        EXPECT_EQ(Decide("", "", none), LoginDecision::Refuse);
        EXPECT_EQ(Decide("  ", " ", none), LoginDecision::Refuse);
    }
    EXPECT_EQ(DecideLogin("a", "b", "a", "b", {}), LoginDecision::StartSetup);
}

TEST(LoginRulesTest, StoredCredentialsMustBeTypedExactly) {
    const StoredCredentials stored{"Me", "pass word"};
    EXPECT_EQ(Decide("Me", "pass word", stored), LoginDecision::Accept);
    EXPECT_EQ(Decide("me", "pass word", stored), LoginDecision::Refuse);
    EXPECT_EQ(Decide("Me ", "pass word", stored), LoginDecision::Refuse);
    EXPECT_EQ(Decide("Me", "pass word ", stored), LoginDecision::Refuse);
    EXPECT_EQ(Decide("Me", "", stored), LoginDecision::Refuse);
    EXPECT_EQ(Decide(SetupWord, SetupWord, stored), LoginDecision::Refuse);

    // Half a set of credentials lets nobody in, and does not start the set-up again.
    for (const StoredCredentials& half :
         {StoredCredentials{"Me", ""}, StoredCredentials{"", "pw"}}) {
        EXPECT_EQ(Decide(half.userName, half.password, half), LoginDecision::Refuse);
        EXPECT_EQ(Decide(SetupWord, SetupWord, half), LoginDecision::Refuse);
    }
}

TEST(LoginRulesTest, CredentialsMustFitAndComeBackUnderTheLoginKey) {
    EXPECT_TRUE(CanStoreCredential(""));
    EXPECT_TRUE(CanStoreCredential(std::string(33, 'x')));
    EXPECT_FALSE(CanStoreCredential(std::string(34, 'x')));
    EXPECT_TRUE(CanStoreCredential(" Trailing and leading spaces "));
    // High Windows-1252 bytes climb fast under the login key: three fit, four do not.
    EXPECT_TRUE(CanStoreCredential(std::string(3, '\xff')));
    EXPECT_FALSE(CanStoreCredential(std::string(4, '\xff')));
    EXPECT_FALSE(CanStoreCredential(std::string("a\0b", 3)));
}

}  // namespace
}  // namespace keyrack
