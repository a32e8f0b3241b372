#pragma once

#include <string>
#include <string_view>

namespace dravik {

/// The application's title from the program file's path: the name without its
/// folder and without anything from its first "." on, every character after
/// the first in small letters. It captions the message boxes of the window.
/// The path and the title are native (UTF-8) texts.
std::string applicationTitle(std::string_view programPath);

} // namespace dravik
