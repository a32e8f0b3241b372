#pragma once

#include <string>
#include <string_view>

namespace dravik {

/// The user's Dravik folder on Linux: "$XDG_CONFIG_HOME/dravik", or
/// "$HOME/.config/dravik" when XDG_CONFIG_HOME is empty or not an absolute
/// path. Empty when neither names an absolute folder.
std::string userFolderPath(std::string_view xdgConfigHome, std::string_view home);

/// The user's Dravik folder on Windows: "%APPDATA%\Dravik". Empty when
/// APPDATA is not an absolute path ("C:\...", "\\server\...").
std::string windowsUserFolderPath(std::string_view appData);

/// The user's Dravik folder of this system, from the environment: the folder
/// that "Dravik --user-folder" starts in and whose Dravik.ini dravik-cli reads
/// when the current directory has none. Empty when the environment names none.
std::string userFolder();

/// Why userFolder() is empty, in the words of this system.
std::string_view noUserFolderText();

} // namespace dravik
