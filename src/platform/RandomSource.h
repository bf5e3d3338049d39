#pragma once

#include <cstddef>
#include <cstdint>

namespace keyrack::platform {

// Where the program's random draws come from (fill letters, new file keys, generated
// passwords). The real one expands seeds from the operating system's cryptographic generator
// with libsodium; tests give a fixed sequence.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // A uniformly drawn whole number from 0 to bound - 1; bound is at least 1.
    virtual std::uint32_t Below(std::uint32_t bound) = 0;
    // Fills out with count characters, each choices[Below(bound)] in turn, where a draw whose
    // choice is '\0' is left out and drawn again; bound is at most 256 and choices holds bound
    // characters. A source may draw them at once.
    virtual void PickEach(const char* choices, std::uint32_t bound, char* out, std::size_t count);
    // Whether several threads may draw at once, each getting its own independent draws.
    virtual bool DrawsFromAnyThread() const { return false; }
};

class SystemRandomSource : public RandomSource {
  public:
    std::uint32_t Below(std::uint32_t bound) override;
    void PickEach(const char* choices, std::uint32_t bound, char* out, std::size_t count) override;
    // Each thread draws from its own pool.
    bool DrawsFromAnyThread() const override { return true; }
};

// The program-wide source used when no other is given.
RandomSource& SystemRandom();

}  // namespace keyrack::platform
