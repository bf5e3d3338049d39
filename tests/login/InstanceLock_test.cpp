#include "login/InstanceLock.h"

#include <gtest/gtest.h>

#include <tuple>

#ifdef __linux__
#include <unistd.h>
#endif

#include "platform/Processes.h"

namespace keyrack {
namespace {

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
        {std::nullopt, Kind::Unreadable, ""},
    };
    for (const auto& [content, kind, computer] : cases) {
        const LockFinding found = JudgeLockFile(content, "here", runs);
        EXPECT_EQ(found.kind, kind) << content.value_or("(unreadable)");
        EXPECT_EQ(found.computer, computer) << content.value_or("(unreadable)");
    }
}

#ifdef __linux__
TEST(InstanceLockTest, ThisProcessRunsUnderItsOwnNameOnly) {
    EXPECT_TRUE(platform::ProcessRuns(getpid(), "core_tests"));
    EXPECT_FALSE(platform::ProcessRuns(getpid(), "keyrack"));
}
#endif

}  // namespace
}  // namespace keyrack
