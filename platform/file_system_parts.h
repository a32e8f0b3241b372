#pragma once

// What the file layers of the systems share, inside platform/ only.

#include "platform/errors.h"
#include "platform/file_system.h"

#include <exception>
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

/// Runs the hook that setFileHook set, if any.
void runFileHook(const std::string& path);

/// The InOutError that namingFile raises.
InOutError standardFailure(const std::string& path, bool writing, const std::exception& failure);

/// Runs work, which reads or writes the file at path, after the file hook.
/// A failure of the standard library below it (no memory, a length beyond a
/// string's reach) is raised as an InOutError that names the file: "Cannot
/// read file "%s". %s", or "Cannot write file ..." when writing.
template <class Work> auto namingFile(const std::string& path, bool writing, Work&& work) {
    try {
        runFileHook(path);
        return work();
    } catch (const Error&) {
        throw;
    } catch (const std::exception& failure) {
        throw standardFailure(path, writing, failure);
    }
}

/// Opens a file to read it into into: into keeps its size until the read
/// sizes it, so that a buffer reused for files of one size is not filled with
/// zeros first each time; a failure to open empties it.
template <class Open> auto emptiedOnFailure(std::string& into, Open&& open) {
    try {
        return open();
    } catch (...) {
        into.clear();
        throw;
    }
}

/// writeFileSafely, one per system.
void writeFileSafely(const std::string& path, std::string_view bytes, WriteStyle style,
                     TemporaryFile temporary, AtLink atLink);

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
