#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravik {
class SettingsFile;
}

namespace dravik::library {

/// The block of a drive that a row was decoded by.
enum class Block { Pasport, Specification, CheckRom, Loader };

/// The block's name as stored and shown: "pasport", "specification",
/// "check-rom", "check-ldr" (the commands' names).
std::string_view blockName(Block block);

/// The block of a stored name; nothing for a name no block has.
std::optional<Block> blockNamed(std::string_view name);

/// Where a stored row's value comes from: a file of the drive's folder by its
/// name, the offset of the first byte, the bytes, and what decoded them (the
/// settings entry as RowSource::entryText() gives it, or the part of the
/// file's format).
struct StoredSource {
    std::string file;
    std::int64_t offset = 0;
    std::string bytes;
    std::string entry;

    bool operator==(const StoredSource&) const = default;
};

/// One Name/Value row of a drive as stored; name and value are Windows-1251
/// bytes, exactly as decoded.
struct StoredRow {
    Block block = Block::Pasport;
    /// For a loader's rows the loader file's name, else empty.
    std::string loader;
    std::string name;
    std::string value;
    std::optional<StoredSource> source;

    bool operator==(const StoredRow&) const = default;
};

/// One file of a drive's folder: its native name, its size and time of
/// change as FileStamp gives them, and its SHA-256 in 64 small hexadecimal
/// digits (empty where the store was only told names and stamps).
struct StoredFile {
    std::string name;
    std::int64_t size = 0;
    std::int64_t modified = 0;
    std::string sha256;

    bool operator==(const StoredFile&) const = default;
};

/// What the library stores of one drive folder.
struct Snapshot {
    /// The folder, absolute and native.
    std::string path;
    /// The drive's label; empty keeps the stored one (the folder's name for a
    /// new drive).
    std::string label;
    /// The folder's ".rpm" and ".ldr" files, in the order of enumeration.
    std::vector<StoredFile> files;
    /// The passport's rows, then the specification's, the ROM check's, and
    /// each loader's in the order of its file.
    std::vector<StoredRow> rows;
};

/// The folder's ".rpm" and ".ldr" files with their sizes and times of change,
/// without hashes, in the order of enumeration.
std::vector<StoredFile> folderFiles(const std::string& folder);

/// Decodes the drive folder at folder (native; made absolute) as compare's
/// decodeDrive does, changing nothing: the passport, the specification, the
/// ROM check, and each ".ldr" file's loader check; with every ".rpm" and
/// ".ldr" file hashed. A block that finds nothing adds no rows; a block's
/// error keeps the rows made before it (a failing loader ends the loaders).
/// Raises "Cannot open folder ..." for a folder that is not there, and a
/// file's error when a drive file can't be read.
Snapshot snapshotFolder(const std::string& folder, const SettingsFile& settings);

} // namespace dravik::library
