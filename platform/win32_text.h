#pragma once

// The edge between the core's UTF-8 text and the wide-character API of
// Windows, for the Win32 side of the file layer only.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace dravik {

/// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
std::wstring toWide(std::string_view utf8);

/// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string fromWide(std::wstring_view wide);

/// A path as the wide-character API takes it: "/" read as "\", a doubled
/// separator read as one (as the file system reads "C:\\Dravik.ini"), a
/// leading "\\" of a network path kept, and an absolute path too long for
/// the plain form given in the long form ("\\?\").
std::wstring nativePath(std::string_view path);

} // namespace dravik
