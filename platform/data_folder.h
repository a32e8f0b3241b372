#pragma once

#include <string>
#include <string_view>

namespace dravik {

/// The folder of the user's Dravik data on Linux: "$XDG_DATA_HOME/dravik", or
/// "$HOME/.local/share/dravik" when XDG_DATA_HOME is empty or not an absolute
/// path. Empty when neither names an absolute folder.
std::string dataFolderPath(std::string_view xdgDataHome, std::string_view home);

/// The folder of the user's Dravik data on Windows: "%LOCALAPPDATA%\Dravik".
/// Empty when LOCALAPPDATA is not an absolute path ("C:\...", "\\server\...").
std::string windowsDataFolderPath(std::string_view localAppData);

/// The folder of the user's Dravik data of this system, from the environment:
/// where the library file lives. Empty when the environment names none.
std::string dataFolder();

/// Why dataFolder() is empty, in the words of this system.
std::string_view noDataFolderText();

} // namespace dravik
