#pragma once

#include <string>
#include <string_view>

// The keys that find and donors compare, made here rather than by an engine
// so that every engine gives the same answers for the same bytes.
namespace dravik::library {

/// text without the blanks at either end.
std::string trimmedKey(std::string_view text);

/// trimmedKey with the letters in their small forms, by the Windows-1251 case
/// folding of the settings.
std::string foldedKey(std::string_view text);

} // namespace dravik::library
