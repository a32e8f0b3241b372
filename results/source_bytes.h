#pragma once

#include "results/row_source.h"

#include <cstdint>
#include <string>

namespace dravik {

/// What a look at a row's file finds now, against what the command found.
enum class SourceState {
    /// The file is as the command found it.
    Unchanged,
    /// Its size or time differ, or the value's bytes are no longer at their
    /// offset; the bytes shown are what it holds now.
    Changed,
    /// Something other than a plain file (a folder, a pipe, a device) is there.
    NotPlainFile,
    /// Nothing is there.
    Gone,
};

/// The bytes of a row's file that the Bytes window shows, as they are now.
struct SourceBytes {
    SourceState state = SourceState::Gone;
    /// The offset in the file of the first byte shown.
    std::int64_t first = 0;
    std::string bytes;
};

/// Files up to this size are shown whole.
inline constexpr std::int64_t kWholeFileLimit = 2048;
/// How many bytes are shown before and after the value in a larger file.
inline constexpr std::int64_t kSourceContext = 256;
/// The bytes shown of a larger file begin and end on lines of this many bytes.
inline constexpr std::int64_t kSourceLineLength = 16;

/// Reads what the Bytes window shows of source's file, and nothing more: the
/// whole file when it holds at most kWholeFileLimit bytes, else the lines from
/// kSourceContext bytes before the value to as many after it, cut at the
/// file's start and end. Opening never waits (a pipe in the file's place is
/// not read). A file that is there but can't be read raises the system's error.
SourceBytes readSourceBytes(const RowSource& source);

} // namespace dravik
