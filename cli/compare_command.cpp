#include "cli/compare_command.h"

#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "results/shown_text.h"
#include "settings/settings_file.h"

#include <algorithm>
#include <optional>

namespace dravik::cli {
namespace {

constexpr std::size_t kColumnA = 2 + kCompareNameWidth + 1;
constexpr std::size_t kColumnB = kColumnA + kCompareValueWidth + 1;

// The width-th piece of a text as a column shows it; one byte is one column.
std::string_view piece(std::string_view text, std::size_t index, std::size_t width) {
    return index * width < text.size() ? text.substr(index * width, width) : std::string_view();
}

std::size_t piecesOf(std::string_view text, std::size_t width) {
    return std::max<std::size_t>(1, (text.size() + width - 1) / width);
}

// The first column where two texts part.
std::size_t partingColumn(std::string_view a, std::string_view b) {
    return static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first -
                                    a.begin());
}

std::string endedLine(std::string line) {
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return toUtf8(line) + "\n";
}

// The text lines of a mark, a name and two values, each in its column of a
// line of 78 columns at most. A text wider than its column goes on in that
// column on the next lines; when two values differ and one of them goes on,
// a line under the piece where they part marks that column in both with "^".
std::string textLines(char mark, std::string_view name, std::string_view a, std::string_view b,
                      bool markParting = false) {
    const std::string cells[3] = {shownText(name), shownText(a), shownText(b)};
    const std::size_t lines =
        std::max({piecesOf(cells[0], kCompareNameWidth), piecesOf(cells[1], kCompareValueWidth),
                  piecesOf(cells[2], kCompareValueWidth)});
    const bool wraps = cells[1].size() > kCompareValueWidth || cells[2].size() > kCompareValueWidth;
    const std::size_t parting = partingColumn(cells[1], cells[2]);
    std::string text;
    for (std::size_t i = 0; i < lines; ++i) {
        std::string line(1, i == 0 ? mark : ' ');
        line += ' ';
        line += piece(cells[0], i, kCompareNameWidth);
        line.resize(kColumnA, ' ');
        line += piece(cells[1], i, kCompareValueWidth);
        line.resize(kColumnB, ' ');
        line += piece(cells[2], i, kCompareValueWidth);
        text += endedLine(std::move(line));
        if (markParting && wraps && parting / kCompareValueWidth == i) {
            std::string marks(kColumnB + parting % kCompareValueWidth + 1, ' ');
            marks[kColumnA + parting % kCompareValueWidth] = '^';
            marks.back() = '^';
            text += endedLine(std::move(marks));
        }
    }
    return text;
}

std::string valueOf(const std::optional<ResultRow>& row) {
    return row ? row->value : std::string();
}

// One input of compare: its letter, its text as given and its native path.
struct Input {
    char letter;
    std::string label;
    std::string path;
};

// A line on standard error about one side, after what standard output holds.
void tellAbout(StandardOutput& out, const Input& input, const std::string& utf8) {
    out.flush();
    writeErrorLine("dravik-cli: " + std::string(1, input.letter) + " " + input.label + ": " + utf8);
}

const BlockKind* kindAsked(const Options& options) {
    const std::string asked = options.compareCommand.value_or("all");
    return asked == "all" ? nullptr : blockNamed(asked);
}

// What an input names: a folder, a file or nothing.
enum class InputKind { Folder, File, Missing };

InputKind kindOf(const Input& input) {
    return isFolder(input.path)      ? InputKind::Folder
           : isPlainFile(input.path) ? InputKind::File
                                     : InputKind::Missing;
}

// Why a folder can't be read ("File access denied."), said once for every block.
std::optional<std::string> folderTrouble(const Input& input, InputKind kind) {
    if (kind != InputKind::Folder)
        return std::nullopt;
    try {
        listEntries(input.path, "", Unreadable::Raise);
    } catch (const Error& error) {
        return errorText(error);
    }
    return std::nullopt;
}

// Says why two inputs can't be compared, side by side; false when they can.
bool tellMismatch(StandardOutput& out, const Input (&inputs)[2], const InputKind (&kinds)[2]) {
    bool trouble = false;
    for (int i = 0; i < 2; ++i) {
        const Input& other = inputs[1 - i];
        if (kinds[i] == InputKind::Missing) {
            // A name with a file's extension was meant as a file.
            const bool file = extensionMatches(inputs[i].path, ".ldr") ||
                              extensionMatches(inputs[i].path, ".rpm") ||
                              kinds[1 - i] == InputKind::File;
            tellAbout(out, inputs[i],
                      toUtf8(errorReportText(file ? inOutError(kErrorFileNotFound).message()
                                                  : std::string("Folder not found"))));
            trouble = true;
        } else if (std::optional<std::string> unreadable = folderTrouble(inputs[i], kinds[i])) {
            tellAbout(out, inputs[i], *unreadable);
            trouble = true;
        } else if (kinds[1 - i] != InputKind::Missing && kinds[i] != kinds[1 - i]) {
            tellAbout(out, inputs[i],
                      kinds[i] == InputKind::File
                          ? "a file, and " + std::string(1, other.letter) +
                                " is a folder: compare two folders or two files"
                          : "a folder, and " + std::string(1, other.letter) +
                                " is a file: compare two folders or two files");
            trouble = true;
        }
    }
    return trouble;
}

// Tells a side's messages and its error; false when the error ended it.
bool tellSide(StandardOutput& out, const Input& input, const SideBlock& side) {
    for (const std::string& message : side.messages)
        tellAbout(out, input, toUtf8(message));
    if (side.error)
        tellAbout(out, input, errorText(*side.error));
    return !side.error;
}

void trimRows(SideBlock& side) {
    for (BlockPart& part : side.parts) {
        for (ResultRow& row : part.rows)
            row = trimmedRow(row);
    }
}

// Everything to compare: the kinds decoded on both sides, their blocks paired.
struct Comparison {
    bool trouble = false;
    std::optional<std::pair<std::string, std::string>> families;
    std::vector<BlockPairs> blocks;
};

Comparison compareFolders(StandardOutput& out, const Options& options, const Input (&inputs)[2],
                          const SettingsFile& settings) {
    Comparison comparison;
    const BlockKind* asked = kindAsked(options);
    std::vector<SideBlock> drives[2];
    for (const BlockKind& kind : blockKinds()) {
        if (asked != nullptr && asked != &kind)
            continue;
        SideBlock sides[2];
        bool decoded = true;
        for (int i = 0; i < 2; ++i) {
            sides[i] = decodeFolderBlock(kind.block, inputs[i].path, settings);
            decoded = tellSide(out, inputs[i], sides[i]) && decoded;
            // A block asked for by name says what a folder lacks; its other
            // side's rows are one-sided.
            if (asked != nullptr && !sides[i].error &&
                (kind.perFile ? sides[i].parts.empty() : !sides[i].found))
                tellAbout(out, inputs[i], "no " + std::string(kind.lacking));
            if (options.trim)
                trimRows(sides[i]);
        }
        if (!decoded) {
            comparison.trouble = true;
            continue;
        }
        for (BlockPairs& block : pairBlocks(sides[0], sides[1], asked != nullptr))
            comparison.blocks.push_back(std::move(block));
        drives[0].push_back(std::move(sides[0]));
        drives[1].push_back(std::move(sides[1]));
    }
    // A whole drive says first when the families differ.
    if (asked == nullptr)
        comparison.families = familiesDiffer(drives[0], drives[1]);
    return comparison;
}

// What a file given by itself is, as the user names it.
std::string_view fileKindName(CompareBlock block) {
    return block == CompareBlock::CheckLdr ? "a loader" : "a passport module";
}

Comparison compareFiles(StandardOutput& out, const Options& options, const Input (&inputs)[2],
                        const SettingsFile& settings) {
    Comparison comparison;
    const BlockKind* asked = kindAsked(options);
    SideBlock sides[2];
    for (int i = 0; i < 2; ++i) {
        sides[i] = decodeFile(inputs[i].path, settings);
        comparison.trouble = !tellSide(out, inputs[i], sides[i]) || comparison.trouble;
        if (options.trim)
            trimRows(sides[i]);
    }
    if (comparison.trouble)
        return comparison;
    for (int i = 0; i < 2; ++i) {
        if (asked != nullptr && asked->block != sides[i].block) {
            tellAbout(out, inputs[i],
                      std::string(fileKindName(sides[i].block)) + ", which has no " +
                          std::string(asked->heading) + " rows");
            comparison.trouble = true;
        }
    }
    if (!comparison.trouble && sides[0].block != sides[1].block) {
        tellAbout(out, inputs[1],
                  std::string(fileKindName(sides[1].block)) + ", and " + inputs[0].label + " is " +
                      std::string(fileKindName(sides[0].block)));
        comparison.trouble = true;
    }
    if (!comparison.trouble)
        comparison.blocks = pairBlocks(sides[0], sides[1], true);
    return comparison;
}

std::string jsonFiles(const BlockPairs& block) {
    if (!blockKind(block.block).perFile || (block.files[0].empty() && block.files[1].empty()))
        return {};
    const auto file = [](const std::string& name) {
        return name.empty() ? std::string("null") : jsonString(name);
    };
    return ", \"files\": {\"a\": " + file(block.files[0]) + ", \"b\": " + file(block.files[1]) +
           "}";
}

} // namespace

void checkCompareOptions(const Options& options) {
    if (options.inputs.size() != 2)
        throw UsageError{"'compare' takes two inputs, A and B, not " +
                         std::to_string(options.inputs.size())};
    const std::string asked = options.compareCommand.value_or("all");
    if (asked != "all" && blockNamed(asked) == nullptr)
        throw UsageError{"unknown command '" + asked +
                         "' for '--command' (pasport, specification, check-rom, check-ldr or all)"};
    if (options.reportPath)
        throw UsageError{"option '--report' does not go with 'compare'"};
}

std::string compareBlockText(const BlockPairs& block, const std::string& labelA,
                             const std::string& labelB, Format format, bool onlyDifferences) {
    const BlockKind& kind = blockKind(block.block);
    if (format == Format::Tsv)
        return blocksTsv({block}, labelA, labelB, onlyDifferences);
    std::string text =
        format == Format::Text
            ? textLines('#', fromUtf8(blockTitle(block)), fromUtf8(labelA), fromUtf8(labelB))
            : "  {\"block\": \"" + std::string(kind.command) +
                  "\", \"heading\": " + jsonString(kind.heading) + jsonFiles(block) +
                  ", \"a\": " + jsonString(labelA) + ", \"b\": " + jsonString(labelB) +
                  ", \"pairs\": [";
    bool firstPair = true;
    for (const RowPair& pair : block.pairs) {
        if (onlyDifferences && pair.state == PairState::Same)
            continue;
        if (format == Format::Text)
            text += textLines(pairMark(pair.state), pair.name(), valueOf(pair.first),
                              valueOf(pair.second), pair.state == PairState::Differs);
        else
            text += (firstPair ? "\n    " : ",\n    ") + pairJson(pair);
        firstPair = false;
    }
    if (format == Format::Json)
        text += firstPair ? "]}" : "\n  ]}";
    return text;
}

int runCompare(const Options& options, StandardOutput& out, const std::string& startFolder,
               const std::string& settingsFolder) {
    const Input inputs[2] = {
        {'A', options.inputs.at(0), resolvePath(startFolder, options.inputs.at(0))},
        {'B', options.inputs.at(1), resolvePath(startFolder, options.inputs.at(1))}};
    const InputKind kinds[2] = {kindOf(inputs[0]), kindOf(inputs[1])};
    if (tellMismatch(out, inputs, kinds))
        return kCompareTrouble;

    const SettingsFile settings = SettingsFile::loadFrom(settingsFolder);
    const Comparison comparison = kinds[0] == InputKind::Folder
                                      ? compareFolders(out, options, inputs, settings)
                                      : compareFiles(out, options, inputs, settings);
    if (comparison.families) {
        const auto& [a, b] = *comparison.families;
        if (options.format == Format::Json)
            writeErrorLine("dravik-cli: families differ: " + toUtf8(a) + " and " + toUtf8(b));
        else if (options.format == Format::Text)
            out.write(textLines('#', "Families differ", a, b) + "\n");
        else
            out.write("#\tFamilies differ\t" + tsvField(toUtf8(a)) + "\t" + tsvField(toUtf8(b)) +
                      "\n");
    }
    bool differs = false;
    bool anyBlock = false;
    for (const BlockPairs& block : comparison.blocks) {
        differs = differs || anyDiffers(block.pairs);
        if (options.format == Format::Json)
            out.write(anyBlock ? ",\n" : "[\n");
        else if (anyBlock && options.format == Format::Text)
            out.write("\n");
        out.write(compareBlockText(block, inputs[0].label, inputs[1].label, options.format,
                                   options.onlyDifferences));
        anyBlock = true;
    }
    if (options.format == Format::Json)
        out.write(anyBlock ? "\n]\n" : "[]\n");
    out.flush();
    return comparison.trouble ? kCompareTrouble : differs ? kCompareDiffers : kCompareSame;
}

} // namespace dravik::cli
