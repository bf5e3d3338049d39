#pragma once

#include "common/CivilTime.h"

namespace keyrack::platform {

// The local date and time; tests give a fixed one.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual CivilDateTime Now() const = 0;
};

class SystemClock : public Clock {
  public:
    CivilDateTime Now() const override;
};

}  // namespace keyrack::platform
