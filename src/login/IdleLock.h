#pragma once

#include <string>

// When the main window locks itself for want of use.
namespace keyrack {

// The choices of the "Lock After" menu, in minutes; 0 is Never.
constexpr int LockChoices[] = {1, 5, 15, 60, 0};
constexpr int DefaultLockMinutes = 5;

struct LockState {
    bool locked = false;
    int minutes = DefaultLockMinutes;
    // Clock::MonotonicMilliseconds() at the last input.
    long long lastInputMilliseconds = 0;
    // The pair the user logged in with; unlocking asks for it even when storing it at start-up
    // failed.
    std::string userName;
    std::string password;
    std::string hint;
};

// A stored choice as the menu offers it: anything it does not offer gives the default.
int LockMinutesFromSetting(int stored);

// Whether the time between two readings of Clock::MonotonicMilliseconds() reaches the chosen
// minutes (never for Never). Local time would not do: it can jump back an hour when summer time
// ends, which would leave an unattended window open that long.
bool IdleLockDue(long long lastInputMilliseconds, long long nowMilliseconds, int minutes);

}  // namespace keyrack
