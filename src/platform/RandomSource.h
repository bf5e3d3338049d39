#pragma once

#include <cstddef>
#include <cstdint>

namespace keyrack::platform {

// Where the program's random draws come from (fill letters, new file keys, generated
// passwords). The real one asks the operating system's cryptographic generator; tests give a
// fixed sequence.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // A uniformly drawn whole number from 0 to bound - 1; bound is at least 1.
    virtual std::uint32_t Below(std::uint32_t bound) = 0;
    // What count calls of Below(bound) would give, in order; a source may draw them at once.
    virtual void BelowEach(std::uint32_t bound, std::uint32_t* out, std::size_t count);
};

class SystemRandomSource : public RandomSource {
  public:
    std::uint32_t Below(std::uint32_t bound) override;
    void BelowEach(std::uint32_t bound, std::uint32_t* out, std::size_t count) override;
};

// The program-wide source used when no other is given.
RandomSource& SystemRandom();

}  // namespace keyrack::platform
