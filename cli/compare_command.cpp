#include "cli/compare_command.h"

#include "loaders/loader.h"
#include "modules/pasport.h"
#include "modules/rom_check.h"
#include "modules/specification.h"
#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "results/shown_text.h"
#include "settings/settings_file.h"

#include <cstdio>
#include <exception>
#include <optional>

namespace dravik::cli {
namespace {

struct BlockName {
    std::string_view name;
    CompareBlock block;
    std::string_view heading;
};

constexpr BlockName kBlocks[] = {
    {"pasport", CompareBlock::Pasport, "Passport"},
    {"specification", CompareBlock::Specification, "Specification"},
    {"check-rom", CompareBlock::CheckRom, "Check ROM"},
    {"check-ldr", CompareBlock::CheckLdr, "Loader"},
};

const BlockName& blockName(CompareBlock block) {
    for (const BlockName& name : kBlocks) {
        if (name.block == block)
            return name;
    }
    return kBlocks[0];
}

constexpr char kEllipsis = '\x85'; // "…" in Windows-1251

// A text as a cell shows it, cut to width columns, cut visibly; one byte is
// one column.
std::string fitted(std::string_view cp1251, std::size_t width, bool fromLeft = false) {
    const std::string text = shownText(cp1251);
    if (text.size() <= width)
        return text;
    if (fromLeft)
        return kEllipsis + text.substr(text.size() - (width - 1));
    return text.substr(0, width - 1) + kEllipsis;
}

// One text line of 78 columns at most: the mark, the name and the two values,
// each in its column; a line ends without blanks.
std::string textLine(char mark, std::string_view name, std::string_view a, std::string_view b,
                     bool labels = false) {
    constexpr std::size_t kColumnA = 2 + kCompareNameWidth + 1;
    constexpr std::size_t kColumnB = kColumnA + kCompareValueWidth + 1;
    std::string line(1, mark);
    line += ' ';
    line += fitted(name, kCompareNameWidth);
    line.resize(kColumnA, ' ');
    line += fitted(a, kCompareValueWidth, labels);
    line.resize(kColumnB, ' ');
    line += fitted(b, kCompareValueWidth, labels);
    while (line.back() == ' ')
        line.pop_back();
    return toUtf8(line) + "\n";
}

std::string valueOf(const std::optional<ResultRow>& row) {
    return row ? row->value : std::string();
}

// One block decoded from one side, changing nothing.
Decoded decodeBlock(CompareBlock block, const std::string& path, const SettingsFile& settings) {
    switch (block) {
    case CompareBlock::Pasport:
        return decodePasport(path, settings);
    case CompareBlock::Specification:
        return decodeSpecification(path);
    case CompareBlock::CheckRom:
        return decodeRoms(path, settings);
    case CompareBlock::CheckLdr:
        return decodeLoader(path, settings);
    }
    return {};
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

// The blocks asked for: one by --command, else the loader of two loader files
// or the three module blocks of two folders.
std::vector<CompareBlock> blocksAsked(const Options& options, bool loaders) {
    const std::string asked = options.compareCommand.value_or("all");
    if (asked == "all") {
        if (loaders)
            return {CompareBlock::CheckLdr};
        return {CompareBlock::Pasport, CompareBlock::Specification, CompareBlock::CheckRom};
    }
    for (const BlockName& name : kBlocks) {
        if (name.name == asked)
            return {name.block};
    }
    return {};
}

// A side that is not what the blocks read (a folder, or a loader file) is
// trouble; says so and gives false.
bool inputFits(StandardOutput& out, const Input& input, bool loader) {
    if (loader ? isPlainFile(input.path) : isFolder(input.path))
        return true;
    tellAbout(out, input,
              toUtf8(errorReportText(loader ? inOutError(kErrorFileNotFound).message()
                                            : std::string("Folder not found"))));
    return false;
}

} // namespace

std::string_view blockHeading(CompareBlock block) {
    return blockName(block).heading;
}

void checkCompareOptions(const Options& options) {
    if (options.inputs.size() != 2)
        throw UsageError{"'compare' takes two inputs, A and B, not " +
                         std::to_string(options.inputs.size())};
    // Loaders are told by their inputs: two files compare as check-ldr shows them.
    const std::string asked = options.compareCommand.value_or("all");
    if (asked != "all" && (asked == "check-ldr" || blocksAsked(options, false).empty()))
        throw UsageError{"unknown command '" + asked +
                         "' for '--command' (pasport, specification, check-rom or all)"};
    if (options.reportPath)
        throw UsageError{"option '--report' does not go with 'compare'"};
}

std::string compareBlockText(CompareBlock block, const std::string& labelA,
                             const std::string& labelB, const std::vector<RowPair>& pairs,
                             Format format, bool onlyDifferences) {
    const std::string heading(blockHeading(block));
    std::string text;
    switch (format) {
    case Format::Text:
        text = textLine('#', heading, fromUtf8(labelA), fromUtf8(labelB), true);
        break;
    case Format::Tsv:
        text = "#\t" + heading + "\t" + tsvField(labelA) + "\t" + tsvField(labelB) + "\n";
        break;
    case Format::Json:
        text = "  {\"block\": \"" + std::string(blockName(block).name) +
               "\", \"heading\": " + jsonString(heading) + ", \"a\": " + jsonString(labelA) +
               ", \"b\": " + jsonString(labelB) + ", \"pairs\": [";
        break;
    }
    bool firstPair = true;
    for (const RowPair& pair : pairs) {
        if (onlyDifferences && pair.state == PairState::Same)
            continue;
        const char mark = pairMark(pair.state);
        if (format == Format::Text)
            text += textLine(mark, pair.name(), valueOf(pair.first), valueOf(pair.second));
        else if (format == Format::Tsv)
            text += std::string(1, mark) + "\t" + tsvField(toUtf8(pair.name())) + "\t" +
                    tsvField(toUtf8(valueOf(pair.first))) + "\t" +
                    tsvField(toUtf8(valueOf(pair.second))) + "\n";
        else
            text += (firstPair ? "\n    " : ",\n    ") + pairJson(pair);
        firstPair = false;
    }
    if (format == Format::Json)
        text += firstPair ? "]}" : "\n  ]}";
    return text;
}

namespace {

// Decodes one block on both sides; false when a side could not be read.
bool decodeBoth(StandardOutput& out, CompareBlock block, const Input (&inputs)[2],
                const SettingsFile& settings, Decoded (&sides)[2]) {
    bool decoded = true;
    for (int i = 0; i < 2; ++i) {
        try {
            sides[i] = decodeBlock(block, inputs[i].path, settings);
        } catch (const Error& error) {
            sides[i].error = error;
        }
        for (const DecodeMessage& message : sides[i].messages)
            tellAbout(out, inputs[i], toUtf8(message.text));
        if (sides[i].error) {
            tellAbout(out, inputs[i], errorText(*sides[i].error));
            decoded = false;
        }
    }
    return decoded;
}

} // namespace

int runCompare(const Options& options, StandardOutput& out, const std::string& startFolder,
               const std::string& settingsFolder) {
    const Input inputs[2] = {
        {'A', options.inputs.at(0), resolvePath(startFolder, options.inputs.at(0))},
        {'B', options.inputs.at(1), resolvePath(startFolder, options.inputs.at(1))}};
    const bool all = options.compareCommand.value_or("all") == "all";
    const bool loaders = all && isPlainFile(inputs[0].path) && isPlainFile(inputs[1].path);
    const bool fitA = inputFits(out, inputs[0], loaders);
    if (!inputFits(out, inputs[1], loaders) || !fitA)
        return kCompareTrouble;

    const SettingsFile settings = SettingsFile::loadFrom(settingsFolder);
    bool trouble = false;
    bool differs = false;
    bool anyBlock = false;
    for (const CompareBlock block : blocksAsked(options, loaders)) {
        Decoded sides[2];
        if (!decodeBoth(out, block, inputs, settings, sides)) {
            trouble = true;
            continue;
        }
        // "all" shows a block when either side has such a module.
        if (all && !sides[0].found && !sides[1].found)
            continue;
        const std::vector<RowPair> pairs = pairRows(sides[0].rows, sides[1].rows);
        differs = differs || anyDiffers(pairs);
        if (options.format == Format::Json)
            out.write(anyBlock ? ",\n" : "[\n");
        else if (anyBlock && options.format == Format::Text)
            out.write("\n");
        out.write(compareBlockText(block, inputs[0].label, inputs[1].label, pairs, options.format,
                                   options.onlyDifferences));
        anyBlock = true;
    }
    if (options.format == Format::Json)
        out.write(anyBlock ? "\n]\n" : "[]\n");
    out.flush();
    return trouble ? kCompareTrouble : differs ? kCompareDiffers : kCompareSame;
}

} // namespace dravik::cli
