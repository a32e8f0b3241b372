#pragma once

#include <string>
#include <string_view>

namespace dravik {

/// The Unicode code point of a Windows-1251 byte. Byte 0x98, unassigned in the
/// code page, stands for U+0098 so that every byte survives a round trip.
char32_t cp1251ToUnicode(unsigned char byte);

/// The Windows-1251 byte of a code point, or '?' when the code page has none.
char unicodeToCp1251(char32_t codePoint);

/// Windows-1251 bytes to UTF-8.
std::string toUtf8(std::string_view cp1251);

/// The length of the valid UTF-8 sequence at the start of text (1 for an
/// ASCII byte), or 0 when none starts there: no overlong forms, no UTF-16
/// surrogates, nothing above U+10FFFF.
std::size_t utf8SequenceLength(std::string_view text);

/// UTF-8 to Windows-1251 bytes; a character without a byte, or a malformed
/// sequence, becomes '?'.
std::string fromUtf8(std::string_view utf8);

/// The small form of a Windows-1251 letter (ASCII and Cyrillic); other bytes
/// are given back unchanged.
char foldCase(char byte);

/// Equality of two Windows-1251 texts without regard to letter case.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

} // namespace dravik
