#pragma once

#include "platform/file_system.h"
#include "platform/settings_entry.h"

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
    /// The settings entry that decoded them, when one did: a layout entry,
    /// or the key that a lookup matched or found missing.
    std::optional<SettingsEntry> setting;
    /// Else the part of the file's format that they are (Windows-1251).
    std::string part;

    /// How many bytes the value was made of.
    std::int64_t length() const { return static_cast<std::int64_t>(bytes.size()); }

    /// What decoded the bytes, as the user reads it: the entry
    /// ("[2F] Serial=S0,8", "[CL] A: no entry") or the part of the format.
    std::string entryText() const { return setting ? settingsEntryText(*setting) : part; }

    /// The source of up to length bytes of data from offset, cut as a memory
    /// stream cuts a read: nothing before the start, nothing past the end;
    /// the bytes are a part of the file's format.
    static RowSource in(std::shared_ptr<const SourceFile> file, std::string_view data,
                        std::int64_t offset, std::int64_t length, std::string part);
    /// The same for bytes that a settings entry decoded.
    static RowSource in(std::shared_ptr<const SourceFile> file, std::string_view data,
                        std::int64_t offset, std::int64_t length, SettingsEntry setting);
};

} // namespace dravik
