#include "platform/folder_tree.h"

#include "platform/file_system.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace dravik {
namespace {

namespace fs = std::filesystem;

// Native texts are UTF-8 on every system; the standard library's narrow
// strings are the ANSI code page on Windows.
fs::path pathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string textOf(const fs::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

class Walk {
  public:
    explicit Walk(const std::vector<std::string>& extensions) : extensions_(extensions) {}

    void visit(const std::string& folder) {
        std::error_code error;
        fs::directory_iterator entries(pathOf(folder), error);
        std::vector<std::string> subfolders;
        bool holds = false;
        for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
            const std::string name = textOf(entries->path().filename());
            if (name.starts_with('.'))
                continue;
            std::error_code kindError;
            if (entries->is_symlink(kindError)) {
                holds = holds || (matches(name) && entries->is_regular_file(kindError));
                continue;
            }
            if (entries->is_directory(kindError))
                subfolders.push_back(name);
            else if (entries->is_regular_file(kindError) && matches(name))
                holds = true;
        }
        if (error) {
            tree.unreadable.push_back({folder, error.message()});
            return;
        }
        if (holds)
            tree.holding.push_back(folder);
        std::sort(subfolders.begin(), subfolders.end(),
                  [](const std::string& a, const std::string& b) { return enumerationLess(a, b); });
        for (const std::string& name : subfolders)
            visit(joinPath(folder, name));
    }

    FolderTree tree;

  private:
    bool matches(std::string_view name) const {
        return std::any_of(extensions_.begin(), extensions_.end(),
                           [&](const std::string& extension) {
                               return extensionMatches(name, extension);
                           });
    }

    const std::vector<std::string>& extensions_;
};

} // namespace

FolderTree foldersHolding(const std::string& root, const std::vector<std::string>& extensions) {
    Walk walk(extensions);
    walk.visit(root);
    return std::move(walk.tree);
}

} // namespace dravik
