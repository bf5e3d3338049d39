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
class BytePool {
  public:
    unsigned char Take() {
        if (next_ == kBatch) {
            FillFromSystem(bytes_, kBatch);
            next_ = 0;
        }
        const unsigned char byte = bytes_[next_];
        bytes_[next_++] = 0;  // a used draw does not linger in memory
        return byte;
    }

  private:
    static constexpr std::size_t kBatch = 4096;
    unsigned char bytes_[kBatch] = {};
    std::size_t next_ = kBatch;
};

BytePool& Pool() {
    thread_local BytePool pool;
    return pool;
}

// Rejecting the uneven top of the range keeps every value equally likely. A small bound takes
// a byte, not a word, per draw: fill letters are most of what an import draws.
std::uint32_t SmallBelow(BytePool& pool, std::uint32_t bound) {
    const std::uint32_t limit = 256 - 256 % bound;
    std::uint32_t byte = 0;
    do {
        byte = pool.Take();
    } while (byte >= limit);
    return byte % bound;
}

std::uint32_t RandomWord() {
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < sizeof word; ++i) {
        word = word << 8 | Pool().Take();
    }
    return word;
}

}  // namespace

void RandomSource::BelowEach(std::uint32_t bound, std::uint32_t* out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = Below(bound);
    }
}

std::uint32_t SystemRandomSource::Below(std::uint32_t bound) {
    if (bound <= 1) {
        return 0;
    }
    if (bound <= 256) {
        return SmallBelow(Pool(), bound);
    }
    const std::uint32_t limit = UINT32_MAX - UINT32_MAX % bound;
    std::uint32_t word = 0;
    do {
        word = RandomWord();
    } while (word >= limit);
    return word % bound;
}

void SystemRandomSource::BelowEach(std::uint32_t bound, std::uint32_t* out, std::size_t count) {
    if (bound <= 1 || bound > 256) {
        RandomSource::BelowEach(bound, out, count);
        return;
    }
    BytePool& pool = Pool();
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = SmallBelow(pool, bound);
    }
}

RandomSource& SystemRandom() {
    static SystemRandomSource source;
    return source;
}

}  // namespace keyrack::platform
