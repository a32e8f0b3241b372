#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace dravik {

/// Whether the program is built for Windows, for the few rules that differ
/// between the systems outside the platform layer's own files.
#ifdef _WIN32
inline constexpr bool kWindows = true;
#else
inline constexpr bool kWindows = false;
#endif

/// The value of the environment variable name as UTF-8 (on Windows taken
/// from the wide-character environment); empty when it is not set.
std::string environmentVariable(const char* name);

/// The program's arguments after its own name, as UTF-8: on Windows taken
/// from the wide-character command line, elsewhere argv as it is.
std::vector<std::string> commandLineArguments(int argc, char** argv);

/// Makes the standard streams ready for a command-line program's UTF-8 text.
/// On Linux a closed standard stream gets /dev/null in its place, so that no
/// file the program opens takes its number; a closed standard output still
/// fails every write, as it is read-only there. On Windows the bytes go out as
/// they are (no carriage return is added), and a console shows them as UTF-8
/// until the program ends.
void prepareStandardStreams();

/// Whether stream goes to a terminal (on Windows: a console).
bool isTerminal(std::FILE* stream);

/// Has file, then folder, removed when an interrupt, a hang-up or a
/// termination ends the program (on Windows: Ctrl+C, Ctrl+Break or the
/// console closing), where that would end it anyway: one that the caller
/// ignores stays ignored. One pair at a time; paths of 4096 bytes or more are
/// not kept.
void removeAtInterruption(const std::string& file, const std::string& folder);

} // namespace dravik
