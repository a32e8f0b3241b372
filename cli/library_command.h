#pragma once

#include "cli/options.h"
#include "cli/output.h"
#include "library/store.h"

#include <string>
#include <vector>

namespace dravik::cli {

/// The exit statuses of `dravik-cli library`.
inline constexpr int kLibraryDone = 0;
inline constexpr int kLibraryNothing = 1;
inline constexpr int kLibraryTrouble = 2;

/// Takes the action from the inputs and refuses what it does not take: a
/// missing or unknown action, a wrong count of arguments, a find term
/// without "=" or "~", options of other actions. Raises UsageError.
void checkLibraryOptions(Options& options);

/// True when the action decodes drive folders (add, donors), and so reads
/// the settings.
bool libraryDecodes(const Options& options);

/// The library a command line names: "--library", else DRAVIK_LIBRARY, else
/// empty for the user's own.
std::string libraryUrl(const Options& options);

/// The names of "--match NAME,..." in Windows-1251, or the default match
/// rows; blanks around a name don't count.
std::vector<std::string> matchNames(const Options& options);

/// Runs `dravik-cli library ACTION`; folders are decoded with the settings of
/// settingsFolder. Gives kLibraryDone, kLibraryNothing or kLibraryTrouble.
int runLibrary(const Options& options, StandardOutput& out, const std::string& startFolder,
               const std::string& settingsFolder);

} // namespace dravik::cli
