#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/RandomSource.h"

// What the harnesses share: a folder of their own and draws taken from the input.
namespace keyrack::fuzz {

// A folder made once per run under the system's temporary folder.
const std::string& ScratchFolder();

// Writes bytes to path, replacing it; aborts when it cannot, as a broken harness must not pass.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// Takes values from the front of the fuzzer's input; zeros once it runs out.
class InputReader {
  public:
    InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    int Int16() { return static_cast<std::int16_t>(Byte() | (Byte() << 8)); }
    std::string Rest() {
        std::string rest(reinterpret_cast<const char*>(data_) + at_, size_ - at_);
        at_ = size_;
        return rest;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// Random draws the fuzzer chooses, shifted by one more at each draw so that a loop which draws
// until it likes the value always ends, as it does with a real source.
class DrawsFrom : public platform::RandomSource {
  public:
    explicit DrawsFrom(std::string bytes) : bytes_(std::move(bytes)) {}
    std::uint32_t Below(std::uint32_t bound) override {
        const std::uint32_t byte =
            bytes_.empty() ? 0 : static_cast<unsigned char>(bytes_[next_ % bytes_.size()]);
        return (byte + next_++) % bound;
    }

  private:
    std::string bytes_;
    std::uint32_t next_ = 0;
};

// A broken invariant: says which and stops, so the fuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

inline void Check(bool holds, const char* what) {
    if (!holds) {
        Fail(what);
    }
}

}  // namespace keyrack::fuzz
