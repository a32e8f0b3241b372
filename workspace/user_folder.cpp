#include "workspace/user_folder.h"

#include "platform/data_folder.h"
#include "platform/process.h"

namespace dravik {

std::string userFolderPath(std::string_view xdgConfigHome, std::string_view home) {
    return xdgDravikFolder(xdgConfigHome, home, ".config");
}

std::string windowsUserFolderPath(std::string_view appData) {
    return windowsDravikFolder(appData);
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
