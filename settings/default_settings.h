#pragma once

#include <string_view>

namespace dravik {

/// The product's web address, shown by the about message and carried on the
/// second line of the default settings.
inline constexpr std::string_view kWebAddress = "https://www.dravik.dev";

/// The settings content that the program ships, byte for byte, line breaks
/// CR LF.
std::string_view defaultSettingsContent();

} // namespace dravik
