#pragma once

#include "results/row_source.h"
#include "settings/settings_file.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dravik {

/// The stored firmware code is eight bytes; its seventh byte is the mark "Z".
inline constexpr std::size_t kFirmwareCodeLength = 8;
inline constexpr std::size_t kFirmwareCodeMarkIndex = 6;
inline constexpr char kFirmwareCodeMark = 'Z';

/// The places where a firmware code may lie, in the order they are tried:
/// 96, 608, 16384, 16896, 24576, 25088. Each second place is the first plus
/// the 512-byte header of a loader, so one table serves ROM images and loaders.
const std::array<std::int64_t, 6>& firmwareCodeOffsets();

/// The eight stored bytes at the first place of the table whose seventh byte
/// is "Z". A place whose eight bytes are not all inside data is passed over;
/// nullopt when no place holds a code.
std::optional<std::string> locateFirmwareCode(std::string_view data);

/// The place of the table where locateFirmwareCode finds the code.
std::optional<std::int64_t> firmwareCodeOffset(std::string_view data);

/// The text with the characters of each pair exchanged (ABCD gives BADC); a
/// last character without a partner stays where it is.
std::string swapPairs(std::string_view text);

/// The code as the user reads it: the stored bytes up to the first zero byte,
/// each pair swapped back.
std::string shownCode(std::string_view stored);

/// The key into the settings section "CL": the stored byte s0, or an empty
/// text when it is zero.
std::string programClass(std::string_view stored);

/// The key into the settings section "LDR": the stored bytes s1 and s3, ending
/// before the first zero byte.
std::string familyKey(std::string_view stored);

/// A row decoded from a firmware code: its value and its source.
struct CodeRow {
    std::string value;
    RowSource source;
};

/// The rows of the code stored at offset of data, the data of file: the shown
/// code, and the value of its key in section ("CL" for the program class,
/// "LDR" for the family key), def when the settings hold none.
CodeRow shownCodeRow(const std::shared_ptr<const SourceFile>& file, std::string_view data,
                     std::int64_t offset);
CodeRow codeKeyRow(const std::shared_ptr<const SourceFile>& file, std::string_view data,
                   std::int64_t offset, const SettingsFile& settings, std::string_view section,
                   std::string_view def);

/// The little-endian 16-bit word at offset, or nullopt when its two bytes are
/// not both inside data: a checksum the file does not hold is never made up.
std::optional<std::uint16_t> readWord(std::string_view data, std::int64_t offset);

/// A checksum word as shown: Hex4 of it, or "none" when the file does not hold it.
std::string shownChecksum(const std::optional<std::uint16_t>& word);

} // namespace dravik
