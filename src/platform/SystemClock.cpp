#include <chrono>
#include <ctime>

#include "platform/Clock.h"

namespace keyrack::platform {

CivilDateTime SystemClock::Now() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return CivilDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                         local.tm_hour,        local.tm_min,     local.tm_sec};
}

long long SystemClock::MonotonicMilliseconds() const {
#ifdef __linux__
    // The steady clock stops while the system is suspended; the boot-time clock does not.
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) == 0) {
        return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    }
#endif
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace keyrack::platform
