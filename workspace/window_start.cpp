#include "workspace/window_start.h"

#include "platform/errors.h"
#include "platform/file_system.h"
#include "settings/default_settings.h"
#include "settings/settings_file.h"
#include "workspace/user_folder.h"

namespace dravik {

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
    return absoluteFolder(argument);
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
