#pragma once

// What the file layers of the systems share, inside platform/ only.

#include "platform/errors.h"
#include "platform/file_system.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dravik::parts {

/// How a failed safe write is worded; error is the system's error number.
class WriteFailure {
  public:
    WriteFailure(const std::string& path, WriteStyle style) : path_(path), style_(style) {}

    /// The file could not be made or opened.
    [[noreturn]] void create(int error) const {
        if (style_ == WriteStyle::Whole)
            throw cannotCreateFile(path_, error);
        throw inOutError(error);
    }

    /// The bytes could not be written.
    [[noreturn]] void write(int error) const {
        if (style_ == WriteStyle::Whole)
            throw Error("Stream write error");
        throw inOutError(error);
    }

  private:
    const std::string& path_;
    WriteStyle style_;
};

enum class Wanted { Entries, Files };

/// The enumeration behind the list functions, one per system: the entries of
/// folderText whose names pass nameMatches, hidden ones left out. pattern
/// ("*.rpm") narrows the system's own search where it has one (Windows); a
/// folder that is there but can't be read raises as unreadable says.
std::vector<DirEntry> enumerate(const std::string& folderText, std::string_view pattern,
                                Wanted wanted,
                                const std::function<bool(std::string_view)>& nameMatches,
                                Unreadable unreadable = Unreadable::NoEntries);

} // namespace dravik::parts
