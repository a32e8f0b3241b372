#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dravik {

/// Converts a text to a signed 32-bit integer: leading blanks, an optional
/// sign, decimal digits or hexadecimal ones after "$", "x" or "0x" (either
/// case). A hexadecimal number is a 32-bit pattern ("$FFFFFFFF" is -1). Any
/// other text raises "'%s' is not a valid integer value".
std::int32_t parseInteger(std::string_view text);

/// The size of the passport module that the layouts describe; a field's
/// offset counts from its start.
inline constexpr std::uint64_t kPasportModuleSize = 512;

/// One layout entry of a family section: a type letter ("S", "#" or "D"),
/// the offset text before the first comma and the length text after it. Only
/// the first 32 characters of the value count.
struct FieldSpec {
    static constexpr std::size_t kMaxLength = 32;
    /// The type letters, and the most bytes a field of each type reads.
    static constexpr std::string_view kText = "S";
    static constexpr std::string_view kNumber = "#";
    static constexpr std::string_view kDate = "D";
    static constexpr std::size_t kTextSize = 32;
    static constexpr std::size_t kNumberSize = 4;
    static constexpr std::size_t kDateSize = 5;

    std::string type; ///< the type letter; empty for an empty value
    std::string offsetText;
    std::string lengthText;

    static FieldSpec parse(std::string_view value);

    std::int32_t offset() const { return parseInteger(offsetText); }
    std::int32_t length() const { return parseInteger(lengthText); }
};

} // namespace dravik
