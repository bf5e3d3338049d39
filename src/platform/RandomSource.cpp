#include "platform/RandomSource.h"

#include <stdexcept>

#ifdef _WIN32
#include <bcrypt.h>
#include <windows.h>
#else
#include <sys/random.h>
#include <cerrno>
#endif

namespace keyrack::platform {

namespace {

std::uint32_t RandomWord() {
    std::uint32_t word = 0;
#ifdef _WIN32
    if (BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&word), sizeof word,
                        BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) {
        throw std::runtime_error("the system random generator failed");
    }
#else
    ssize_t got = 0;
    do {
        got = getrandom(&word, sizeof word, 0);
    } while (got < 0 && errno == EINTR);
    if (got != static_cast<ssize_t>(sizeof word)) {
        throw std::runtime_error("the system random generator failed");
    }
#endif
    return word;
}

}  // namespace

std::uint32_t SystemRandomSource::Below(std::uint32_t bound) {
    if (bound <= 1) {
        return 0;
    }
    // Rejecting the uneven top of the range keeps every value equally likely.
    const std::uint32_t limit = UINT32_MAX - UINT32_MAX % bound;
    std::uint32_t word = 0;
    do {
        word = RandomWord();
    } while (word >= limit);
    return word % bound;
}

RandomSource& SystemRandom() {
    static SystemRandomSource source;
    return source;
}

}  // namespace keyrack::platform
