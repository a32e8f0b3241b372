#include "workspace/loader_list.h"

#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system.h"

#include <algorithm>

namespace dravik {
namespace {

// The folder that text names when entered from the current directory: the
// text itself, or its folder part when its last component holds a wildcard
// or names an existing file.
std::string folderToEnter(const std::string& text) {
    if (equalsIgnoreCase(text, "c:"))
        return currentFolderOfDrive('C');
    const std::string last = nameOf(text);
    if (last.find_first_of("*?") != std::string::npos || isPlainFile(text))
        return folderOf(text);
    return text;
}

} // namespace

LoaderList::LoaderList() : folder_(currentDirectory()) {}

void LoaderList::select(std::optional<std::size_t> index) {
    selected_ = index && *index < files_.size() ? index : std::nullopt;
}

std::string LoaderList::selectedPath() const {
    return selected_ ? joinPath(folder_, files_[*selected_]) : std::string();
}

bool LoaderList::moveTo(const std::string& text) {
    if (text.empty() || (selected_ && equalsIgnoreCase(text, selectedPath())))
        return false;
    const std::string before = currentDirectory();
    try {
        setCurrentDirectory(folderToEnter(text));
    } catch (const Error&) {
        setCurrentDirectory(before);
        throw;
    }
    const std::string reached = currentDirectory();
    if (sameFolder(reached, folder_))
        return false;
    folder_ = reached;
    reread();
    return true;
}

void LoaderList::reread() {
    files_.clear();
    selected_.reset();
    setCurrentDirectory(folder_);
    for (DirEntry& entry : listFiles(folder_, kExtension))
        files_.push_back(std::move(entry.name));
    // The list is sorted by name whatever order the system enumerates in.
    std::sort(files_.begin(), files_.end(), enumerationLess);
}

} // namespace dravik
