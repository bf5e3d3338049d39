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

void FillFromSystem(unsigned char* bytes, std::size_t size) {
#ifdef _WIN32
    if (BCryptGenRandom(nullptr, bytes, static_cast<ULONG>(size),
                        BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) {
        throw std::runtime_error("the system random generator failed");
    }
#else
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

// Bytes are fetched in batches: a value of a hundred fill letters would otherwise make a
// hundred system calls, which dominates importing many entries.
unsigned char RandomByte() {
    constexpr std::size_t kBatch = 4096;
    thread_local unsigned char bytes[kBatch];
    thread_local std::size_t next = kBatch;
    if (next == kBatch) {
        FillFromSystem(bytes, kBatch);
        next = 0;
    }
    const unsigned char byte = bytes[next];
    bytes[next++] = 0;  // a used draw does not linger in memory
    return byte;
}

std::uint32_t RandomWord() {
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < sizeof word; ++i) {
        word = word << 8 | RandomByte();
    }
    return word;
}

}  // namespace

std::uint32_t SystemRandomSource::Below(std::uint32_t bound) {
    if (bound <= 1) {
        return 0;
    }
    // Rejecting the uneven top of the range keeps every value equally likely. A small bound
    // takes a byte, not a word, per draw: fill letters are most of what an import draws.
    if (bound <= 256) {
        const std::uint32_t limit = 256 - 256 % bound;
        std::uint32_t byte = 0;
        do {
            byte = RandomByte();
        } while (byte >= limit);
        return byte % bound;
    }
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
