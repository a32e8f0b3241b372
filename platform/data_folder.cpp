#include "platform/data_folder.h"

#include "platform/file_system.h"
#include "platform/process.h"

namespace dravik {

std::string dataFolderPath(std::string_view xdgDataHome, std::string_view home) {
    // Relative values are ignored, as the XDG base directory rules ask.
    if (xdgDataHome.starts_with('/'))
        return joinPath(xdgDataHome, "dravik");
    if (home.starts_with('/'))
        return joinPath(joinPath(joinPath(home, ".local"), "share"), "dravik");
    return {};
}

std::string windowsDataFolderPath(std::string_view localAppData) {
    const bool driveAbsolute = localAppData.size() >= 3 && localAppData[1] == ':' &&
                               (localAppData[2] == '\\' || localAppData[2] == '/');
    if (!driveAbsolute && !localAppData.starts_with("\\\\"))
        return {};
    std::string folder(localAppData);
    if (!folder.ends_with('\\') && !folder.ends_with('/'))
        folder += '\\';
    return folder + "Dravik";
}

std::string dataFolder() {
    if constexpr (kWindows)
        return windowsDataFolderPath(environmentVariable("LOCALAPPDATA"));
    return dataFolderPath(environmentVariable("XDG_DATA_HOME"), environmentVariable("HOME"));
}

std::string_view noDataFolderText() {
    if constexpr (kWindows)
        return "No data folder: LOCALAPPDATA is not an absolute path";
    return "No data folder: neither XDG_DATA_HOME nor HOME is an absolute path";
}

} // namespace dravik
