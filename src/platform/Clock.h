#pragma once

#include "common/CivilTime.h"

namespace keyrack::platform {

// The local date and time, and a reading for measuring how long something took; tests give
// fixed ones.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual CivilDateTime Now() const = 0;
    // Milliseconds from an arbitrary start. Unlike the local time it never goes back when the
    // clock is set or summer time ends, and it keeps counting while the computer sleeps, so a
    // laptop that wakes after an hour finds the hour passed.
    virtual long long MonotonicMilliseconds() const = 0;
};

class SystemClock : public Clock {
  public:
    CivilDateTime Now() const override;
    long long MonotonicMilliseconds() const override;
};

}  // namespace keyrack::platform
