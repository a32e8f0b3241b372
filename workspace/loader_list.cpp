#include "workspace/loader_list.h"

#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system.h"

namespace dravik {
namespace {

// The folder that text names when entered from the current directory: the
// text itself, or its folder part when its last component holds a wildcard
// or names an existing file.
std::string folderToEnter(const std::string& text) {
    if (equalsIgnoreCase(text, "c:"))
        return currentDirectory();
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
    // Folder names differ by letter case on Linux, so the comparison is exact:
    // a folder that differs only by case is another folder and is read.
    const std::string reached = currentDirectory();
    if (reached == folder_)
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
}

} // namespace dravik
