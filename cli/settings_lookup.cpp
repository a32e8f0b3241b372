#include "cli/settings_lookup.h"

#include "platform/file_system.h"
#include "settings/settings_file.h"
#include "workspace/user_folder.h"

namespace dravik::cli {

SettingsLookup lookUpSettings(const std::string& startFolder, const std::string& userFolder) {
    SettingsLookup lookup;
    for (const std::string& folder : {startFolder, userFolder}) {
        if (folder.empty())
            continue;
        lookup.looked.push_back(folder);
        if (isPlainFile(settingsFilePath(folder))) {
            lookup.folder = folder;
            break;
        }
    }
    return lookup;
}

std::string settingsNotFoundText(const SettingsLookup& lookup) {
    std::string text = std::string(SettingsFile::kFileName) + " not found in ";
    for (std::size_t i = 0; i < lookup.looked.size(); ++i)
        text += (i == 0 ? "" : " nor in ") + lookup.looked[i];
    if (lookup.looked.size() < 2)
        text += " (" + std::string(noUserFolderText()) + ")";
    return text;
}

} // namespace dravik::cli
