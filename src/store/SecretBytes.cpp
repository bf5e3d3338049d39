#include "store/SecretBytes.h"

#include <sodium.h>

#include <new>
#include <stdexcept>
#include <utility>

namespace keyrack {

void EnsureSodium() {
    static const int started = sodium_init();
    if (started < 0) {
        throw std::runtime_error("libsodium could not start");
    }
}

SecretBytes::SecretBytes(std::size_t size) {
    EnsureSodium();
    data_ = static_cast<unsigned char*>(sodium_malloc(size));
    if (data_ == nullptr) {
        throw std::bad_alloc();
    }
    size_ = size;
    sodium_memzero(data_, size_);
}

SecretBytes::~SecretBytes() {
    Release();
}

SecretBytes::SecretBytes(SecretBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

SecretBytes& SecretBytes::operator=(SecretBytes&& other) noexcept {
    if (this != &other) {
        Release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void SecretBytes::Release() {
    if (data_ != nullptr) {
        // sodium_free wipes too; wiping here first keeps that promise visible and independent of
        // the library's version.
        sodium_memzero(data_, size_);
        sodium_free(data_);
        data_ = nullptr;
        size_ = 0;
    }
}

}  // namespace keyrack
