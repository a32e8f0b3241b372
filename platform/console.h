#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace dravik {

/// Whether stream is a Windows console, which shows text by its own code page
/// unless it is written in wide characters. Never on Linux, where a terminal
/// takes the UTF-8 bytes as they are.
bool isConsole(std::FILE* stream);

/// Writes UTF-8 text to the console behind stream in wide characters, after
/// what the stream holds so far; false when that fails (nothing is written
/// on Linux). A malformed sequence shows as U+FFFD.
bool writeToConsole(std::FILE* stream, std::string_view utf8);

/// On Windows, where no shell expands wildcards, each argument whose name
/// part holds "*" or "?" becomes the names of its folder that match it,
/// letters compared without regard to case and hidden entries left out, in
/// the order of enumeration, each after the folder part as written; an
/// argument that matches nothing stays as written. "[" and "]" are plain
/// characters. On Linux, where the shell has done that, the arguments as
/// they are.
std::vector<std::string> expandWildcards(const std::vector<std::string>& arguments);

} // namespace dravik
