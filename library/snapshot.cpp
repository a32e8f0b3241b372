#include "library/snapshot.h"

#include "compare/drive_blocks.h"
#include "library/sha256.h"
#include "platform/file_system.h"
#include "settings/settings_file.h"

#include <algorithm>
#include <array>
#include <memory>
#include <span>
#include <utility>

namespace dravik::library {
namespace {

constexpr std::size_t kHashPiece = std::size_t{1} << 20;

constexpr std::array<std::pair<Block, std::string_view>, 4> kBlockNames = {{
    {Block::Pasport, "pasport"},
    {Block::Specification, "specification"},
    {Block::CheckRom, "check-rom"},
    {Block::Loader, "check-ldr"},
}};

// The folder's ".rpm" and ".ldr" files in the order of enumeration, with
// their stamps, from one reading of the folder.
std::vector<DirEntry> driveFiles(const std::string& folder) {
    std::vector<DirEntry> files = listFiles(folder, {".rpm", ".ldr"});
    std::stable_sort(files.begin(), files.end(), [](const DirEntry& a, const DirEntry& b) {
        return enumerationLess(a.name, b.name);
    });
    return files;
}

// The library's blocks are compare's kinds, in the same order.
Block blockOf(CompareBlock block) {
    switch (block) {
    case CompareBlock::Pasport:
        return Block::Pasport;
    case CompareBlock::Specification:
        return Block::Specification;
    case CompareBlock::CheckRom:
        return Block::CheckRom;
    case CompareBlock::CheckLdr:
        break;
    }
    return Block::Loader;
}

void appendRows(std::vector<StoredRow>& rows, Block block, const std::string& loader,
                const std::vector<ResultRow>& decoded) {
    for (const ResultRow& row : decoded) {
        StoredRow stored{block, loader, row.name, row.value, std::nullopt};
        if (row.source && row.source->file)
            stored.source = StoredSource{nameOf(row.source->file->path), row.source->offset,
                                         row.source->bytes, row.source->entryText()};
        rows.push_back(std::move(stored));
    }
}

} // namespace

std::string_view blockName(Block block) {
    for (const auto& [each, name] : kBlockNames) {
        if (each == block)
            return name;
    }
    return {};
}

std::optional<Block> blockNamed(std::string_view name) {
    for (const auto& [block, each] : kBlockNames) {
        if (each == name)
            return block;
    }
    return std::nullopt;
}

std::vector<StoredFile> folderFiles(const std::string& folder) {
    std::vector<StoredFile> files;
    for (const DirEntry& entry : driveFiles(folder))
        files.push_back({entry.name, static_cast<std::int64_t>(entry.size), entry.modified, {}});
    return files;
}

Snapshot snapshotFolder(const std::string& folder, const SettingsFile& settings) {
    Snapshot snapshot;
    snapshot.path = absoluteFolder(folder);
    const std::string& path = snapshot.path;

    // The stamp is taken before the bytes are read: a file that changes
    // meanwhile then never looks unchanged later. A file is hashed a piece at
    // a time, so that a large one costs no more memory than a small one.
    const auto piece = std::make_unique_for_overwrite<char[]>(kHashPiece);
    for (StoredFile& file : folderFiles(path)) {
        Sha256 hash;
        if (!readPlainFileInPieces(joinPath(path, file.name), std::span(piece.get(), kHashPiece),
                                   [&](std::string_view bytes) { hash.add(bytes); }))
            continue;
        file.sha256 = hash.hex();
        snapshot.files.push_back(std::move(file));
    }

    for (const SideBlock& side : decodeDrive(path, settings)) {
        const Block block = blockOf(side.block);
        for (const BlockPart& part : side.parts)
            appendRows(snapshot.rows, block, block == Block::Loader ? part.file : std::string(), part.rows);
    }
    return snapshot;
}

} // namespace dravik::library
