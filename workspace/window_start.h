#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravik {

/// What the command line of the window asks for.
struct WindowArguments {
    enum class Action { Start, ShowHelp, ShowVersion, UsageError };

    Action action = Action::Start;
    /// "--user-folder": start in the user's Dravik folder.
    bool userFolder = false;
    /// The FOLDER to choose once the window is shown, as given.
    std::optional<std::string> folder;
    /// Why the command line can't be followed (Action::UsageError).
    std::string problem;
};

/// The text that "Dravik --help" prints.
extern const std::string_view kWindowUsage;

/// Parses the arguments after the program's name. "-h", "--help" and
/// "--version" before any "--" win over everything else, so that they can be
/// answered before the window system is reached; any other argument that
/// begins with "-" is an unknown option unless it follows "--".
WindowArguments parseWindowArguments(const std::vector<std::string>& args);

/// The folder that a FOLDER argument names, in the form the path selector
/// gives it: absolute (a relative one is taken from the current directory),
/// without "." or ".." steps and without a trailing "/". Raises an Error
/// ("Cannot open folder "..." ...") when nothing is there or it is no folder.
std::string folderArgument(const std::string& argument);

/// Makes folder the current directory, first making it (and its missing
/// parents, open to the user only) when it is not there, and gives it a
/// Dravik.ini of the default content, written safely, when it holds no
/// settings file. A settings file that is there, under any letter case the
/// commands accept, is never touched. Raises an Error, also for an empty
/// folder (no user folder found).
void enterUserFolder(const std::string& folder);

} // namespace dravik
