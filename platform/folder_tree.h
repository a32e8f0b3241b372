#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dravik {

/// A folder below the root of a walk that could not be read, with the
/// system's text for why.
struct UnreadableFolder {
    std::string path;
    std::string reason;
};

/// What a walk below a folder found.
struct FolderTree {
    /// The folders, the root among them, that hold a plain file whose name
    /// ends in one of the extensions: depth first, each folder before those
    /// below it, a folder's subfolders in the order of enumeration.
    std::vector<std::string> holding;
    std::vector<UnreadableFolder> unreadable;
};

/// Walks root (native, absolute) and every folder below it. Hidden entries
/// (a name beginning with ".") are left out, and a link to a folder is not
/// followed, so a link that points back up can't make the walk go round, and
/// each folder is met once, by one path.
FolderTree foldersHolding(const std::string& root, const std::vector<std::string>& extensions);

} // namespace dravik
