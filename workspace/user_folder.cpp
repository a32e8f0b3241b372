#include "workspace/user_folder.h"

#include "platform/file_system.h"
#include "platform/process.h"

namespace dravik {

std::string userFolderPath(std::string_view xdgConfigHome, std::string_view home) {
    // Relative values are ignored, as the XDG base directory rules ask.
    if (xdgConfigHome.starts_with('/'))
        return joinPath(xdgConfigHome, "dravik");
    if (home.starts_with('/'))
        return joinPath(joinPath(home, ".config"), "dravik");
    return {};
}

std::string windowsUserFolderPath(std::string_view appData) {
    const bool driveAbsolute = appData.size() >= 3 && appData[1] == ':' &&
                               (appData[2] == '\\' || appData[2] == '/');
    if (!driveAbsolute && !appData.starts_with("\\\\"))
        return {};
    std::string folder(appData);
    if (!folder.ends_with('\\') && !folder.ends_with('/'))
        folder += '\\';
    return folder + "Dravik";
}

std::string userFolder() {
    if constexpr (kWindows)
        return windowsUserFolderPath(environmentVariable("APPDATA"));
    return userFolderPath(environmentVariable("XDG_CONFIG_HOME"), environmentVariable("HOME"));
}

std::string_view noUserFolderText() {
    if constexpr (kWindows)
        return "No user folder: APPDATA is not an absolute path";
    return "No user folder: neither XDG_CONFIG_HOME nor HOME is an absolute path";
}

} // namespace dravik
