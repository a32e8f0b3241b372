#pragma once

#include <cstddef>
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

/// The sections that the decoders look up besides the family layouts: the
/// families by their codes, the layout that serves when a passport holds no
/// code, the program classes and the loader families of a firmware code.
inline constexpr std::string_view kFamiliesSection = "Mod";
inline constexpr std::string_view kFallbackLayout = "00";
inline constexpr std::string_view kProgramClassesSection = "CL";
inline constexpr std::string_view kLoaderFamiliesSection = "LDR";

/// How many characters the key of each lookup has: a passport's family code
/// and a firmware code's family key are two, its program class one.
inline constexpr std::size_t kFamilyCodeLength = 2;
inline constexpr std::size_t kFamilyKeyLength = 2;
inline constexpr std::size_t kProgramClassLength = 1;

/// A type letter of a layout, the most bytes a field of that type reads, and
/// the fewest that make its value (a date needs all five).
struct FieldType {
    std::string_view letter;
    std::size_t size;
    std::size_t least;
};
inline constexpr FieldType kTextField{"S", 32, 1};
inline constexpr FieldType kNumberField{"#", 4, 1};
inline constexpr FieldType kDateField{"D", 5, 5};

/// The type a letter names, or nullptr for a letter that no decoder knows.
const FieldType* findFieldType(std::string_view letter);

/// The most bytes a field of the type letter reads; none for an unknown letter.
std::size_t fieldTypeSize(std::string_view letter);

/// One layout entry of a family section: a type letter ("S", "#" or "D"),
/// the offset text before the first comma and the length text after it. Only
/// the first 32 characters of the value count.
struct FieldSpec {
    static constexpr std::size_t kMaxLength = 32;

    std::string type; ///< the type letter; empty for an empty value
    std::string offsetText;
    std::string lengthText;

    static FieldSpec parse(std::string_view value);

    std::int32_t offset() const { return parseInteger(offsetText); }
    std::int32_t length() const { return parseInteger(lengthText); }
};

} // namespace dravik
