#include "cli/settings_copy.h"

#include "platform/file_system.h"
#include "platform/process.h"
#include "settings/settings_file.h"

namespace dravik::cli {

SettingsCopy::SettingsCopy(std::string_view bytes) {
    folder_ = makeTemporaryFolder("dravik-cli-");
    file_ = joinPath(folder_, SettingsFile::kFileName);
    removeAtInterruption(file_, folder_);
    try {
        writeFileSafely(file_, bytes, WriteStyle::Whole);
    } catch (...) {
        removeFileAndFolder(file_, folder_);
        throw;
    }
}

SettingsCopy::~SettingsCopy() {
    removeFileAndFolder(file_, folder_);
}

} // namespace dravik::cli
