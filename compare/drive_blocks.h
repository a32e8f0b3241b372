#pragma once

#include "compare/row_pairs.h"
#include "modules/decoded.h"
#include "platform/errors.h"
#include "settings/settings_file.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dravik {

/// What compare can hold side by side, in the order of a whole drive.
enum class CompareBlock { Pasport, Specification, CheckRom, CheckLdr };

/// One kind of comparable block: the name "--command" gives it, its heading,
/// the name of the first row its command shows, whether it comes once per
/// file (a ROM image, a loader) rather than once per folder, and what a folder
/// without it lacks ("passport module").
struct BlockKind {
    CompareBlock block;
    std::string_view command;
    std::string_view heading;
    std::string_view firstRow;
    bool perFile;
    std::string_view lacking;
};

/// Every kind of block, in the order of a whole drive: "pasport" (Passport),
/// "specification" (Specification), "check-rom" (Check ROM), "check-ldr"
/// (Loader).
std::span<const BlockKind> blockKinds();

/// The kind of block.
const BlockKind& blockKind(CompareBlock block);

/// The kind that a command name names ("passport" too names the passport);
/// nullptr for any other name.
const BlockKind* blockNamed(std::string_view command);

/// The kind of the last block of rows that a folder command or CheckLDR put in
/// rows (Check ROM and Specification append to what is there), told by the
/// first row each command shows; nothing when rows hold none.
std::optional<CompareBlock> blockShown(const std::vector<ResultRow>& rows);

/// The rows of one file of a per-file block, or of the whole block otherwise.
struct BlockPart {
    /// The file's native name (no folder); empty for a folder's block.
    std::string file;
    /// The loader's firmware code as shown (Windows-1251), its second key.
    std::string code;
    std::vector<ResultRow> rows;
};

/// One kind of block decoded from one side, changing nothing.
struct SideBlock {
    CompareBlock block = CompareBlock::Pasport;
    /// False when the side has nothing of the kind (no module, no loader).
    bool found = false;
    /// One part for a folder's block; one a file, in the order of
    /// enumeration, for a per-file block.
    std::vector<BlockPart> parts;
    /// The decode's messages (Windows-1251); those of a per-file block lead
    /// with their file's name.
    std::vector<std::string> messages;
    /// The error that ended the decode, after the parts made before it.
    std::optional<Error> error;
};

/// The decoder of each kind: one kind of block of a folder (native). A folder
/// that can't be read is the side's error ("File access denied").
SideBlock decodeFolderBlock(CompareBlock block, const std::string& folder,
                            const SettingsFile& settings);

/// Every comparable block of one drive folder (native), one SideBlock a kind
/// in the order of blockKinds(): its passport, its specification, each of its
/// ROM images and each of its loaders (".ldr" files). Changes nothing.
std::vector<SideBlock> decodeDrive(const std::string& folder, const SettingsFile& settings);

/// One file given by itself (native path): a loader (".ldr") as CheckLDR
/// shows it, a passport module (a 512-byte ".rpm" marked "Q8") as the Pasport
/// command shows it, in one part without a file name. Anything else is the
/// side's error: it is not compared.
SideBlock decodeFile(const std::string& path, const SettingsFile& settings);

/// One block of the comparison: its kind, the file of each side for a
/// per-file block (empty where the side has none), and its pairs.
struct BlockPairs {
    CompareBlock block = CompareBlock::Pasport;
    std::string files[2];
    std::vector<RowPair> pairs;
};

/// The blocks of one kind from two sides. Folder blocks pair their rows by
/// name and occurrence; per-file blocks pair their files by name, loaders
/// then by firmware code, and a file of one side only is one-sided as a whole.
/// A kind that neither side has parts of gives one block without pairs when
/// either side found it or always is set (a block asked for by name).
std::vector<BlockPairs> pairBlocks(const SideBlock& first, const SideBlock& second,
                                   bool always = false);

/// The heading of a block as text and the window show it: the kind's heading,
/// then for a per-file block ": " and its file, both files when they differ
/// ("Loader: a.ldr / b.ldr"); native text.
std::string blockTitle(const BlockPairs& block);

/// The passport family of each side ("Family " row) when both have one and
/// they differ.
std::optional<std::pair<std::string, std::string>>
familiesDiffer(const std::vector<SideBlock>& first, const std::vector<SideBlock>& second);

/// The blocks as tab-separated lines: for each block "#", its title and the
/// two labels, then "MARK<TAB>Name<TAB>A<TAB>B" a pair, values whole (UTF-8,
/// tab, line breaks and backslash escaped). onlyDifferences leaves out the
/// pairs that are the same.
std::string blocksTsv(const std::vector<BlockPairs>& blocks, const std::string& labelA,
                      const std::string& labelB, bool onlyDifferences);

} // namespace dravik
