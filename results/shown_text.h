#pragma once

#include <string>
#include <string_view>

namespace dravik {

/// A Windows-1251 text as a grid's cell shows it, on one line: a tab or line
/// break inside becomes a blank, and the blanks that end it are not shown.
/// Other bytes stay as they are, a no-break space (0xA0) among them.
std::string shownText(std::string_view cp1251);

} // namespace dravik
