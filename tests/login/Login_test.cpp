#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <tuple>

#include "login/IdleLock.h"
#include "login/InstanceLock.h"
#include "login/LoginRules.h"
#include "platform/Processes.h"

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
        {SetupWord, SetupWord, {"", "pw"}, LoginDecision::Refuse}};
    for (const auto& [user, password, stored, expected] : cases) {
        EXPECT_EQ(DecideLogin(user, password, SetupWord, SetupWord, stored), expected)
            << "'" << user << "' '" << password << "'";
    }
    // High Windows-1252 bytes climb fast under the login key: three fit, four do not. (The
    // width itself is the cipher's rule.)
    EXPECT_TRUE(CanStoreCredential(std::string(3, '\xff')));
    EXPECT_FALSE(CanStoreCredential(std::string(4, '\xff')));
}

TEST(IdleLockTest, DueOnceTheChosenMinutesHavePassedWhateverTheLocalTimeShows) {
    constexpr long long kMinute = 60000;
    // The last input, now, the chosen minutes, and whether the lock is due.
    const std::tuple<long long, long long, int, bool> cases[] = {
        {0, 5 * kMinute - 1, 5, false},
        {0, 5 * kMinute, 5, true},
        // Summer time ended an hour after the last input: local time shows no time passed.
        {3 * kMinute, 63 * kMinute, 60, true},
        {0, 1000 * kMinute, 0, false},  // never
    };
    for (const auto& [last, now, minutes, due] : cases) {
        EXPECT_EQ(IdleLockDue(last, now, minutes), due) << now;
    }
    EXPECT_EQ(LockMinutesFromSetting(15), 15);
    EXPECT_EQ(LockMinutesFromSetting(0), 0);
    EXPECT_EQ(LockMinutesFromSetting(7), DefaultLockMinutes);
}

TEST(InstanceLockTest, OnlyALiveInstanceOfThisComputerKeepsTheProgramOut) {
    using Kind = LockFinding::Kind;
    const ProcessRuns runs = [](long long pid, const std::string& program) {
        return pid == 4242 && program == "keyrack";
    };
    const std::tuple<std::optional<std::string>, Kind, std::string> cases[] = {
        {"4242\nkeyrack\nhere\nid\nboot\n", Kind::LiveHere, "here"},
        {"4243\nkeyrack\nhere\nid\nboot\n", Kind::Stale, "here"},
        {"4242\nbash\nhere\nid\nboot\n", Kind::Stale, "here"},  // the id was used again
        {"4242\nkeyrack\nlaptop\nid\nboot\n", Kind::OtherComputer, "laptop"},
        {"4242\r\nkeyrack\r\nlaptop\r\n", Kind::OtherComputer, "laptop"},
        {"", Kind::Unreadable, ""},
        {"-1\nkeyrack\nhere\n", Kind::Unreadable, ""},
        {"4242\nkeyrack\n\n", Kind::Unreadable, ""},
        {std::nullopt, Kind::Unreadable, ""}};
    for (const auto& [content, kind, computer] : cases) {
        const LockFinding found = JudgeLockFile(content, "here", runs);
        EXPECT_EQ(found.kind, kind) << content.value_or("(unreadable)");
        EXPECT_EQ(found.computer, computer) << content.value_or("(unreadable)");
    }
    // The running test program, under its own name only.
    EXPECT_TRUE(platform::ProcessRuns(getpid(), "core_tests"));
    EXPECT_FALSE(platform::ProcessRuns(getpid(), "keyrack"));
}

}  // namespace
}  // namespace keyrack
