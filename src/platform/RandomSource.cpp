#include "platform/RandomSource.h"

#include <cstddef>
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

void FillFromSystem(std::uint32_t* words, std::size_t count) {
    const std::size_t size = count * sizeof *words;
#ifdef _WIN32
    if (BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(words), static_cast<ULONG>(size),
                        BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) {
        throw std::runtime_error("the system random generator failed");
    }
#else
    auto* bytes = reinterpret_cast<unsigned char*>(words);
    std::size_t have = 0;
    while (have < size) {
        const ssize_t got = getrandom(bytes + have, size - have, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            throw std::runtime_error("the system random generator failed");
        }
        have += static_cast<std::size_t>(got);
    }
#endif
}

// Words are fetched in batches: a value of a hundred fill letters would otherwise make a
// hundred system calls, which dominates importing many entries.
std::uint32_t RandomWord() {
    constexpr std::size_t kBatch = 256;
    thread_local std::uint32_t words[kBatch];
    thread_local std::size_t next = kBatch;
    if (next == kBatch) {
        FillFromSystem(words, kBatch);
        next = 0;
    }
    const std::uint32_t word = words[next];
    words[next++] = 0;  // a used draw does not linger in memory
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
