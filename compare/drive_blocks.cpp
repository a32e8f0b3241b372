#include "compare/drive_blocks.h"

#include "loaders/loader.h"
#include "modules/pasport.h"
#include "modules/rom_check.h"
#include "modules/specification.h"
#include "platform/cp1251.h"
#include "platform/file_system.h"
#include "results/row_json.h"

#include <algorithm>
#include <exception>

namespace dravik {
namespace {

constexpr BlockKind kKinds[] = {
    {CompareBlock::Pasport, "pasport", "Passport", "Family ", false, "passport module"},
    {CompareBlock::Specification, "specification", "Specification", "Specification", false,
     "specification module"},
    {CompareBlock::CheckRom, "check-rom", "Check ROM", "File Name", true, "ROM image"},
    {CompareBlock::CheckLdr, "check-ldr", "Loader", "Check sum ROM in LDR", true, "loader"},
};

constexpr std::string_view kLoaderExtension = ".ldr";
constexpr std::string_view kCodeRow = "Code FW";
constexpr std::string_view kFamilyRow = "Family ";

// The value of the first row named name, or nothing.
std::optional<std::string> valueNamed(const std::vector<ResultRow>& rows, std::string_view name) {
    const auto row = std::find_if(rows.begin(), rows.end(),
                                  [&](const ResultRow& each) { return each.name == name; });
    return row == rows.end() ? std::nullopt : std::optional<std::string>(row->value);
}

// Runs decode into side, an error ending it as the side's error.
template <class Decode> void guarded(SideBlock& side, Decode&& decode) {
    try {
        decode();
    } catch (const Error& error) {
        side.error = error;
    } catch (const std::exception& error) {
        side.error.emplace(error.what());
    }
}

// A module command's result as one side's block; file names the file of a
// per-file part and leads its messages.
void takeDecoded(SideBlock& side, Decoded decoded, const std::string& file = {}) {
    side.found = side.found || decoded.found;
    for (DecodeMessage& message : decoded.messages)
        side.messages.push_back(file.empty() ? std::move(message.text)
                                             : fromUtf8(file) + ": " + message.text);
    if (decoded.error && !side.error)
        side.error = std::move(decoded.error);
    if (!decoded.rows.empty() || (decoded.found && file.empty())) {
        std::string code = valueNamed(decoded.rows, kCodeRow).value_or(std::string());
        side.parts.push_back({file, std::move(code), std::move(decoded.rows)});
    }
}

// The ROM check's rows, four an image, split into one part an image by their
// "File Name" rows; each part is named by the path of that row's source.
std::vector<BlockPart> partsByImage(std::vector<ResultRow> rows) {
    std::vector<BlockPart> parts;
    for (ResultRow& row : rows) {
        if (row.name == blockKind(CompareBlock::CheckRom).firstRow || parts.empty())
            parts.push_back(
                {row.source ? nameOf(row.source->file->path) : toUtf8(row.value), {}, {}});
        parts.back().rows.push_back(std::move(row));
    }
    return parts;
}

SideBlock decodeRomImages(const std::string& folder, const SettingsFile& settings) {
    SideBlock side;
    side.block = CompareBlock::CheckRom;
    Decoded decoded = decodeRoms(folder, settings);
    side.found = decoded.found;
    side.parts = partsByImage(std::move(decoded.rows));
    for (DecodeMessage& message : decoded.messages)
        side.messages.push_back(std::move(message.text));
    side.error = std::move(decoded.error);
    return side;
}

SideBlock decodeLoaders(const std::string& folder, const SettingsFile& settings) {
    SideBlock side;
    side.block = CompareBlock::CheckLdr;
    guarded(side, [&] {
        for (const DirEntry& file : listFiles(folder, kLoaderExtension, Unreadable::Raise)) {
            side.found = true;
            takeDecoded(side, decodeLoader(joinPath(folder, file.name), settings), file.name);
            if (side.error)
                return;
        }
    });
    return side;
}

// Native names compared as the files' identity.
std::vector<std::string_view> filesOf(const SideBlock& side) {
    std::vector<std::string_view> files;
    for (const BlockPart& part : side.parts)
        files.push_back(part.file);
    return files;
}

// Loaders left one-sided by their names pair by firmware code: each one of
// the first with the next one of the second of the same code, which leaves
// its place.
void pairByCode(std::vector<Partners>& aligned, const SideBlock& first, const SideBlock& second) {
    for (Partners& onlyFirst : aligned) {
        if (onlyFirst.second || !onlyFirst.first)
            continue;
        const std::string& code = first.parts[*onlyFirst.first].code;
        if (code.empty())
            continue;
        const auto partner = std::find_if(aligned.begin(), aligned.end(), [&](const Partners& p) {
            return !p.first && p.second && second.parts[*p.second].code == code;
        });
        if (partner != aligned.end()) {
            onlyFirst.second = partner->second;
            partner->second.reset();
        }
    }
    std::erase_if(aligned, [](const Partners& p) { return !p.first && !p.second; });
}

const std::vector<ResultRow> kNoRows;

} // namespace

std::span<const BlockKind> blockKinds() {
    return kKinds;
}

const BlockKind& blockKind(CompareBlock block) {
    return kKinds[static_cast<int>(block)];
}

const BlockKind* blockNamed(std::string_view command) {
    if (command == "passport")
        return &kKinds[0];
    for (const BlockKind& kind : kKinds) {
        if (kind.command == command)
            return &kind;
    }
    return nullptr;
}

std::optional<CompareBlock> blockShown(const std::vector<ResultRow>& rows) {
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        for (const BlockKind& kind : kKinds) {
            if (row->name == kind.firstRow)
                return kind.block;
        }
    }
    return std::nullopt;
}

SideBlock decodeFolderBlock(CompareBlock block, const std::string& folder,
                            const SettingsFile& settings) {
    switch (block) {
    case CompareBlock::Pasport:
    case CompareBlock::Specification: {
        SideBlock side;
        side.block = block;
        guarded(side, [&] {
            takeDecoded(side, block == CompareBlock::Pasport ? decodePasport(folder, settings)
                                                             : decodeSpecification(folder));
        });
        return side;
    }
    case CompareBlock::CheckRom:
        return decodeRomImages(folder, settings);
    case CompareBlock::CheckLdr:
        return decodeLoaders(folder, settings);
    }
    return {};
}

std::vector<SideBlock> decodeDrive(const std::string& folder, const SettingsFile& settings) {
    std::vector<SideBlock> blocks;
    for (const BlockKind& kind : kKinds)
        blocks.push_back(decodeFolderBlock(kind.block, folder, settings));
    return blocks;
}

SideBlock decodeFile(const std::string& path, const SettingsFile& settings) {
    SideBlock side;
    guarded(side, [&] {
        if (extensionMatches(path, kLoaderExtension)) {
            side.block = CompareBlock::CheckLdr;
            takeDecoded(side, decodeLoader(path, settings));
            return;
        }
        // Only a file of a passport module's size is read, whatever else is there.
        if (extensionMatches(path, ".rpm") && fileSize(path) == kPasportModuleSize) {
            PieceReader reader(path);
            const std::string bytes = reader.readUpTo(0, kPasportModuleSize);
            if (marksPasport(std::string_view(bytes).substr(
                    std::min<std::size_t>(kPasportVersionOffset, bytes.size())))) {
                takeDecoded(side, decodePasportModule(bytes, path, settings));
                return;
            }
        }
        throw Error("Not a loader or a passport module");
    });
    return side;
}

std::vector<BlockPairs> pairBlocks(const SideBlock& first, const SideBlock& second, bool always) {
    const CompareBlock block = first.block;
    std::vector<BlockPairs> blocks;
    std::vector<Partners> aligned = alignByKey(filesOf(first), filesOf(second));
    if (block == CompareBlock::CheckLdr)
        pairByCode(aligned, first, second);
    for (const auto& [i, j] : aligned) {
        BlockPairs pairs;
        pairs.block = block;
        if (i)
            pairs.files[0] = first.parts[*i].file;
        if (j)
            pairs.files[1] = second.parts[*j].file;
        pairs.pairs =
            pairRows(i ? first.parts[*i].rows : kNoRows, j ? second.parts[*j].rows : kNoRows);
        blocks.push_back(std::move(pairs));
    }
    if (blocks.empty() && (always || first.found || second.found))
        blocks.emplace_back().block = block;
    return blocks;
}

std::string blockTitle(const BlockPairs& block) {
    std::string title(blockKind(block.block).heading);
    const std::string& a = block.files[0];
    const std::string& b = block.files[1];
    if (a.empty() && b.empty())
        return title;
    title += ": ";
    if (a.empty() || b.empty() || a == b)
        return title + (a.empty() ? b : a);
    return title + a + " / " + b;
}

std::optional<std::pair<std::string, std::string>>
familiesDiffer(const std::vector<SideBlock>& first, const std::vector<SideBlock>& second) {
    const auto family = [](const std::vector<SideBlock>& blocks) -> std::optional<std::string> {
        for (const SideBlock& side : blocks) {
            if (side.block == CompareBlock::Pasport && !side.parts.empty())
                return valueNamed(side.parts.front().rows, kFamilyRow);
        }
        return std::nullopt;
    };
    const std::optional<std::string> a = family(first);
    const std::optional<std::string> b = family(second);
    if (!a || !b || *a == *b)
        return std::nullopt;
    return std::pair{*a, *b};
}

std::string blocksTsv(const std::vector<BlockPairs>& blocks, const std::string& labelA,
                      const std::string& labelB, bool onlyDifferences) {
    const auto valueOf = [](const std::optional<ResultRow>& row) {
        return row ? tsvField(toUtf8(row->value)) : std::string();
    };
    std::string text;
    for (const BlockPairs& block : blocks) {
        text += "#\t" + tsvField(blockTitle(block)) + "\t" + tsvField(labelA) + "\t" +
                tsvField(labelB) + "\n";
        for (const RowPair& pair : block.pairs) {
            if (onlyDifferences && pair.state == PairState::Same)
                continue;
            text += std::string(1, pairMark(pair.state)) + "\t" + tsvField(toUtf8(pair.name())) +
                    "\t" + valueOf(pair.first) + "\t" + valueOf(pair.second) + "\n";
        }
    }
    return text;
}

} // namespace dravik
