#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace dravik::library {

/// SHA-256 (FIPS 180-4) of bytes fed in pieces. Where the processor has
/// instructions for SHA-256 (x86-64's SHA extensions), they do the work.
class Sha256 {
  public:
    enum class Engine {
        Best,     ///< the processor's instructions where it has them
        Portable, ///< plain C++ everywhere
    };

    explicit Sha256(Engine engine = Engine::Best);
    void add(std::string_view bytes);
    /// The digest in 64 small hexadecimal digits; the hash is spent after it.
    std::string hex();

    /// Whether Engine::Best uses the processor's instructions here.
    static bool hasFastEngine();

  private:
    using Blocks = void (*)(std::uint32_t* state, const unsigned char* data, std::size_t count);

    Blocks blocks_;
    std::array<std::uint32_t, 8> state_;
    std::array<unsigned char, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;
};

/// The SHA-256 of bytes in 64 small hexadecimal digits.
std::string sha256Hex(std::string_view bytes);

} // namespace dravik::library
