#include "workspace/window_start.h"

#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "settings/default_settings.h"
#include "settings/settings_file.h"
#include "workspace/user_folder.h"

#include <filesystem>
#include <system_error>

namespace dravik {

namespace fs = std::filesystem;

const std::string_view kWindowUsage =
    R"(Usage: Dravik [--user-folder] [FOLDER]

Starts the Dravik window. It reads Dravik.ini from its current directory, the
folder it is started in, for the whole run.

  FOLDER          choose FOLDER in the path selector once the window is shown:
                  the loader list and the module commands move there
  --user-folder   start in the user's Dravik folder, $XDG_CONFIG_HOME/dravik
                  (~/.config/dravik by default; %APPDATA%\Dravik on Windows),
                  made on first use with the default Dravik.ini; the desktop
                  menu starts Dravik this way
  -h, --help      show this text
  --version       show the version

The options of Qt (-platform, -style, ...) are taken too.
)";

namespace {

// The core's text is UTF-8; the standard library would read a plain string in
// the ANSI code page on Windows.
fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string textOf(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// The folder argument is checked by the standard library, whose error codes
// need not be the system's error numbers: its own text words the reason.
Error folderArgumentError(const std::string& argument, const std::error_code& error) {
    return Error("Cannot open folder \"" + fromUtf8(argument) + "\". " + fromUtf8(error.message()));
}

} // namespace

WindowArguments parseWindowArguments(const std::vector<std::string>& args) {
    WindowArguments parsed;
    for (const std::string& arg : args) {
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h") {
            parsed.action = WindowArguments::Action::ShowHelp;
            return parsed;
        }
        if (arg == "--version") {
            parsed.action = WindowArguments::Action::ShowVersion;
            return parsed;
        }
    }
    auto usageError = [&parsed](std::string problem) {
        parsed.action = WindowArguments::Action::UsageError;
        parsed.problem = std::move(problem);
        return parsed;
    };
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--user-folder") {
            parsed.userFolder = true;
        } else if (!optionsEnded && arg.size() > 1 && arg.starts_with('-')) {
            return usageError("unknown option '" + arg + "'");
        } else if (parsed.folder) {
            return usageError("one FOLDER only, not '" + *parsed.folder + "' and '" + arg + "'");
        } else {
            parsed.folder = arg;
        }
    }
    return parsed;
}

std::string folderArgument(const std::string& argument) {
    std::error_code error;
    fs::path folder = fs::absolute(pathOf(argument), error).lexically_normal();
    if (argument.empty())
        error = std::make_error_code(std::errc::no_such_file_or_directory);
    if (!error) {
        const fs::file_status status = fs::status(folder, error);
        if (!error && !fs::is_directory(status))
            error = std::make_error_code(std::errc::not_a_directory);
    }
    if (error)
        throw folderArgumentError(argument, error);
    std::string text = textOf(folder);
    // No separator at the end but a root's own ("/", "C:\").
    if (folder.has_relative_path() && !folder.has_filename())
        text.pop_back();
    return text;
}

void enterUserFolder(const std::string& folder) {
    if (folder.empty())
        throw Error(std::string(noUserFolderText()));
    makeFolders(folder);
    enterFolder(folder);

    // Whatever stands under the settings file's name (a link to nowhere
    // included) is the user's own.
    const std::string settings = settingsFilePath(folder);
    if (!entryExists(settings))
        writeFileSafely(settings, defaultSettingsContent(), WriteStyle::Whole);
}

} // namespace dravik
