#pragma once

#include "cli/options.h"
#include "cli/output.h"
#include "compare/drive_blocks.h"

#include <string>
#include <string_view>
#include <vector>

namespace dravik::cli {

/// The exit statuses of compare, as diff(1) has them.
inline constexpr int kCompareSame = 0;
inline constexpr int kCompareDiffers = 1;
inline constexpr int kCompareTrouble = 2;

/// The options of compare that a command line can get wrong: two inputs, a
/// known --command, nothing that writes a file. Raises UsageError.
void checkCompareOptions(const Options& options);

/// The widths of the text lines: the mark, a blank, the name, a blank and the
/// two values; 78 columns in all. A longer text goes on in its column on the
/// lines that follow, and under two differing values that do so a line marks
/// with "^" the column where they part.
inline constexpr std::size_t kCompareNameWidth = 22;
inline constexpr std::size_t kCompareValueWidth = 26;

/// One block in the chosen format: its heading (text, tsv: a line marked "#"
/// with the block's title and the two inputs' labels), then a pair a line;
/// json: one object with "block", "heading", the "files" of a per-file block,
/// "a", "b" and "pairs". onlyDifferences leaves out the pairs that are the
/// same.
std::string compareBlockText(const BlockPairs& block, const std::string& labelA,
                             const std::string& labelB, Format format, bool onlyDifferences);

/// Runs `dravik-cli compare`; the settings are read from settingsFolder.
/// Gives 0, 1 or 2 as diff(1) does.
int runCompare(const Options& options, StandardOutput& out, const std::string& startFolder,
               const std::string& settingsFolder);

} // namespace dravik::cli
