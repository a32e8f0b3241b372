#include "workspace/command_rules.h"

#include "platform/file_system.h"

namespace dravik {

bool moduleCommandsEnabled(const std::string& workingFolder) {
    const std::vector<DirEntry> entries = listEntries(workingFolder, ".rpm");
    return !entries.empty() && entries.front().kind == EntryKind::File;
}

std::string folderAbove(const std::string& folder) {
    return parentFolder(folder).value_or(kComputerLevel);
}

} // namespace dravik
