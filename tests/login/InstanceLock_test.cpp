#include "login/InstanceLock.h"

#include <gtest/gtest.h>

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
    const struct {
        std::optional<std::string> content;
        Kind kind;
        const char* computer;
    } cases[] = {
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
    for (const auto& c : cases) {
        const LockFinding found = JudgeLockFile(c.content, "here", runs);
        const std::string shown = c.content.value_or("(unreadable)");
        EXPECT_EQ(found.kind, c.kind) << shown;
        EXPECT_EQ(found.computer, c.computer) << shown;
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
