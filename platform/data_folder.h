#pragma once

#include <string>
#include <string_view>

namespace dravik {

/// Dravik's folder under an XDG base directory: "BASE/dravik" for the
/// variable's value BASE, or "HOME/homeRelative/dravik" when that value is
/// empty or not an absolute path (".config", ".local/share"). Empty when
/// neither names an absolute folder.
std::string xdgDravikFolder(std::string_view xdgValue, std::string_view home,
                            std::string_view homeRelative);

/// Dravik's folder under a Windows folder: "BASE\Dravik". Empty when base is
/// not an absolute path ("C:\...", "\\server\...").
std::string windowsDravikFolder(std::string_view base);

/// The folder of the user's Dravik data on Linux: "$XDG_DATA_HOME/dravik", or
/// "$HOME/.local/share/dravik".
std::string dataFolderPath(std::string_view xdgDataHome, std::string_view home);

/// The folder of the user's Dravik data on Windows: "%LOCALAPPDATA%\Dravik".
std::string windowsDataFolderPath(std::string_view localAppData);

/// The folder of the user's Dravik data of this system, from the environment:
/// where the library file lives. Empty when the environment names none.
std::string dataFolder();

/// Why dataFolder() is empty, in the words of this system.
std::string_view noDataFolderText();

} // namespace dravik
