#include "results/source_bytes.h"

#include "platform/errors.h"
#include "platform/file_system.h"

#include <algorithm>

namespace dravik {

namespace {

std::int64_t lineStart(std::int64_t offset) {
    return offset - offset % kSourceLineLength;
}

// The range [first, end) of a file of size bytes that is shown for a value at
// offset of length bytes. Both lie within the file and first <= end, also for
// a value that the file no longer reaches or that lies before its start.
std::pair<std::int64_t, std::int64_t> shownRange(std::int64_t size, std::int64_t offset,
                                                 std::int64_t length) {
    if (size <= kWholeFileLimit)
        return {0, size};
    const std::int64_t first =
        std::clamp(lineStart(offset - kSourceContext), std::int64_t{0}, size);
    const std::int64_t end =
        std::clamp(lineStart(offset + length + kSourceContext) + kSourceLineLength, first, size);
    return {first, end};
}

// Whether the value's bytes are still at their offset among the shown ones.
bool valueInPlace(const RowSource& source, const SourceBytes& shown) {
    const std::int64_t at = source.offset - shown.first;
    return at >= 0 && at + source.length() <= static_cast<std::int64_t>(shown.bytes.size()) &&
           shown.bytes.compare(static_cast<std::size_t>(at), source.bytes.size(), source.bytes) ==
               0;
}

} // namespace

SourceBytes readSourceBytes(const RowSource& source) {
    SourceBytes shown;
    const std::string& path = source.file->path;
    std::optional<PieceReader> reader;
    try {
        reader = PieceReader::openIfPlain(path);
    } catch (const InOutError&) {
        if (!pathExists(path))
            return shown;
        throw;
    }
    if (!reader) {
        shown.state = SourceState::NotPlainFile;
        return shown;
    }
    const FileStamp now = reader->stamp();
    const auto [first, end] = shownRange(now.size, source.offset, source.length());
    shown.first = first;
    shown.bytes = reader->readUpTo(first, static_cast<std::size_t>(end - first));
    const bool same = source.file->stamp == now && valueInPlace(source, shown);
    shown.state = same ? SourceState::Unchanged : SourceState::Changed;
    return shown;
}

} // namespace dravik
