#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace dravik {

/// The text of the first n bytes of data, ending before the first zero byte
/// among them. Bytes beyond data are not read.
std::string textFromBytes(std::string_view data, std::size_t n);

/// A 16-bit number as upper-case hexadecimal digits, at least four of them.
std::string hex4(std::uint16_t word);

/// A module date: year from 1900, month, day, hour, minute.
using ModuleDate = std::array<std::uint8_t, 5>;

/// "day.month.year (hour:minute)", decimal without leading zeros.
std::string formatModuleDate(const ModuleDate& date);

} // namespace dravik
