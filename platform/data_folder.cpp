#include "platform/data_folder.h"

#include "platform/file_system.h"
#include "platform/process.h"

namespace dravik {

std::string xdgDravikFolder(std::string_view xdgValue, std::string_view home,
                            std::string_view homeRelative) {
    // Relative values are ignored, as the XDG base directory rules ask.
    if (xdgValue.starts_with('/'))
        return joinPath(xdgValue, "dravik");
    if (home.starts_with('/'))
        return joinPath(joinPath(home, homeRelative), "dravik");
    return {};
}

std::string windowsDravikFolder(std::string_view base) {
    const bool driveAbsolute =
        base.size() >= 3 && base[1] == ':' && (base[2] == '\\' || base[2] == '/');
    if (!driveAbsolute && !base.starts_with("\\\\"))
        return {};
    std::string folder(base);
    if (!folder.ends_with('\\') && !folder.ends_with('/'))
        folder += '\\';
    return folder + "Dravik";
}

std::string dataFolderPath(std::string_view xdgDataHome, std::string_view home) {
    return xdgDravikFolder(xdgDataHome, home, ".local/share");
}

std::string windowsDataFolderPath(std::string_view localAppData) {
    return windowsDravikFolder(localAppData);
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
