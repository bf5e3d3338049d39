#include "platform/RandomSource.h"

#include <sodium.h>

#include <array>
#include <cstddef>
#include <stdexcept>
#include <utility>

namespace keyrack::platform {

namespace {

// Each batch is libsodium's stream expanded from a fresh seed the system gives: a value of a
// hundred fill letters would otherwise cost a hundred system calls, and the system's own
// generator is several times slower per byte than the stream, which dominated importing many
// entries.
void FillFromSystem(unsigned char* bytes, std::size_t size) {
    static const int started = sodium_init();
    if (started < 0) {
        throw std::runtime_error("the system random generator failed");
    }
    unsigned char seed[randombytes_SEEDBYTES];
    randombytes_buf(seed, sizeof seed);
    randombytes_buf_deterministic(bytes, size, seed);
    sodium_memzero(seed, sizeof seed);
}

class BytePool {
  public:
    unsigned char Take() {
        Refill();
        const unsigned char byte = bytes_[next_];
        bytes_[next_++] = 0;  // a used draw does not linger in memory
        return byte;
    }

    // The bytes not drawn yet, at least one; Consume tells how many of them were used.
    std::pair<const unsigned char*, std::size_t> Unused() {
        Refill();
        return {bytes_ + next_, kBatch - next_};
    }
    void Consume(std::size_t count) {
        sodium_memzero(bytes_ + next_, count);
        next_ += count;
    }

  private:
    void Refill() {
        if (next_ == kBatch) {
            FillFromSystem(bytes_, kBatch);
            next_ = 0;
        }
    }

    static constexpr std::size_t kBatch = 16384;
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

// What PickEach makes of each byte, '\0' for a byte it rejects; kept for the last choices
// asked, as an import asks for the same ones many times in a row.
const std::array<char, 256>& PickTable(const char* choices, std::uint32_t bound) {
    thread_local const char* tableChoices = nullptr;
    thread_local std::uint32_t tableBound = 0;
    thread_local std::array<char, 256> table{};
    if (tableChoices != choices || tableBound != bound) {
        const std::uint32_t limit = 256 - 256 % bound;
        for (std::uint32_t byte = 0; byte < 256; ++byte) {
            table[byte] = byte < limit ? choices[byte % bound] : '\0';
        }
        tableChoices = choices;
        tableBound = bound;
    }
    return table;
}

std::uint32_t RandomWord() {
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < sizeof word; ++i) {
        word = word << 8 | Pool().Take();
    }
    return word;
}

}  // namespace

void RandomSource::PickEach(const char* choices, std::uint32_t bound, char* out,
                            std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        do {
            out[i] = choices[Below(bound)];
        } while (out[i] == '\0');
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

void SystemRandomSource::PickEach(const char* choices, std::uint32_t bound, char* out,
                                  std::size_t count) {
    const std::array<char, 256>& table = PickTable(choices, bound);
    BytePool& pool = Pool();
    std::size_t done = 0;
    while (done < count) {
        const auto [bytes, available] = pool.Unused();
        std::size_t used = 0;
        for (; used < available && done < count; ++used) {
            // Written always and counted when kept: a rejection is as unpredictable as the byte.
            const char pick = table[bytes[used]];
            out[done] = pick;
            done += pick != '\0' ? 1 : 0;
        }
        pool.Consume(used);
    }
}

RandomSource& SystemRandom() {
    static SystemRandomSource source;
    return source;
}

}  // namespace keyrack::platform
