#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace dravik {

/// Reads pieces of a file's data the way a memory stream does: a read at a
/// position before the start or past the end gives no bytes, a read that
/// crosses the end gives the bytes up to it, and a length of zero or below
/// reads nothing. The part of the caller's buffer that a read did not fill
/// keeps what it held.
class ByteReader {
public:
    explicit ByteReader(std::string_view data) : data_(data) {}

    std::int64_t size() const { return static_cast<std::int64_t>(data_.size()); }

    /// Copies at most min(length, capacity) bytes from position into dest and
    /// gives the number of bytes copied.
    std::int64_t readAt(std::int64_t position, std::int64_t length, char* dest,
                        std::int64_t capacity) const {
        if (position < 0 || position >= size() || length <= 0 || capacity <= 0)
            return 0;
        std::int64_t count = std::min({length, capacity, size() - position});
        std::memcpy(dest, data_.data() + position, static_cast<std::size_t>(count));
        return count;
    }

    /// The little-endian unsigned 16-bit word at position; bytes outside the
    /// data count as zero.
    std::uint16_t wordAt(std::int64_t position) const {
        char bytes[2] = {0, 0};
        readAt(position, 2, bytes, 2);
        return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) |
                                          (static_cast<unsigned char>(bytes[1]) << 8));
    }

private:
    std::string_view data_;
};

} // namespace dravik
