#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace dravik {

/// One entry of the folder browser's path selector.
struct PathEntry {
    enum class Kind { Computer, Top, Folder };

    /// The folder's native path; kComputerLevel for the computer itself.
    std::string path;
    Kind kind = Kind::Folder;
    /// How deep the entry sits in the drop-down's tree: 0 the computer, 1 the
    /// entries of the computer level, 2 and more the folders below one of them.
    int depth = 0;
};

/// The path selector's entries and the one that shows the folder shown.
struct PathSelector {
    std::vector<PathEntry> entries;
    std::size_t selected = 0;
};

/// The path selector for shown (a native path without a trailing separator
/// but a root's own, or kComputerLevel): the computer, then the entries of
/// the computer level (tops, each a folder; a root ends with its separator)
/// in their order, and below the deepest top that holds shown the chain of
/// folders down to it, one entry a folder.
PathSelector pathSelector(const std::vector<std::string>& tops, const std::string& shown,
                          char separator);

} // namespace dravik
