#pragma once

#include "platform/file_system.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace dravik {

/// A file that a command read: its native path, and its stamp as the command
/// found it (nothing when there was no plain file to stamp).
struct SourceFile {
    std::string path;
    std::optional<FileStamp> stamp;

    /// The file at path, stamped now.
    static std::shared_ptr<const SourceFile> at(std::string path);
};

/// Where a row's value comes from: bytes of a file that a command read, and
/// what decoded them.
struct RowSource {
    /// The file, shared by the rows of one file.
    std::shared_ptr<const SourceFile> file;
    /// The offset of the first byte in the file.
    std::int64_t offset = 0;
    /// The bytes the value was made of.
    std::string bytes;
    /// What decoded them (Windows-1251): a layout entry as written
    /// ("[2F] Serial=S0,8"), the settings key that matched, or the part of the
    /// file's format.
    std::string entry;

    /// How many bytes the value was made of.
    std::int64_t length() const { return static_cast<std::int64_t>(bytes.size()); }

    /// The source of up to length bytes of data from offset, cut as a memory
    /// stream cuts a read: nothing before the start, nothing past the end.
    static RowSource in(std::shared_ptr<const SourceFile> file, std::string_view data,
                        std::int64_t offset, std::int64_t length, std::string entry);
};

/// A settings entry as a source names it: "[CL] A=Program A - Main", or
/// "[CL] A: no entry" when the settings hold none.
std::string settingsEntryText(std::string_view section, std::string_view key,
                              const std::string* value);

} // namespace dravik
