#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dravik::library {

/// SHA-256 (FIPS 180-4) of bytes fed in pieces.
class Sha256 {
  public:
    Sha256();
    void add(std::string_view bytes);
    /// The digest in 64 small hexadecimal digits; the hash is spent after it.
    std::string hex();

  private:
    void block(const unsigned char* data);

    std::array<std::uint32_t, 8> state_;
    std::array<unsigned char, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;
};

/// The SHA-256 of bytes in 64 small hexadecimal digits.
std::string sha256Hex(std::string_view bytes);

} // namespace dravik::library
