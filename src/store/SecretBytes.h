#pragma once

#include <cstddef>

// Keys live in memory that libsodium guards: kept out of swap where the system allows it,
// fenced by inaccessible pages, and wiped before it is given back.
namespace keyrack {

// Prepares libsodium once per process; every use of it goes through here first. Throws when the
// library cannot start (no usable random source), as nothing protected can then be made safely.
void EnsureSodium();

class SecretBytes {
  public:
    // size bytes, zeroed. Throws std::bad_alloc when the guarded memory cannot be had.
    explicit SecretBytes(std::size_t size);
    ~SecretBytes();
    SecretBytes(SecretBytes&& other) noexcept;
    SecretBytes& operator=(SecretBytes&& other) noexcept;
    SecretBytes(const SecretBytes&) = delete;
    SecretBytes& operator=(const SecretBytes&) = delete;

    unsigned char* Data() { return data_; }
    const unsigned char* Data() const { return data_; }
    std::size_t Size() const { return size_; }

  private:
    void Release();

    unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace keyrack
