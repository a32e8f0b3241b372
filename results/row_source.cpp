#include "results/row_source.h"

#include "platform/byte_reader.h"

namespace dravik {

std::shared_ptr<const SourceFile> SourceFile::at(std::string path) {
    std::optional<FileStamp> stamp = plainFileStamp(path);
    return std::make_shared<const SourceFile>(SourceFile{std::move(path), stamp});
}

RowSource RowSource::in(std::shared_ptr<const SourceFile> file, std::string_view data,
                        std::int64_t offset, std::int64_t length, std::string entry) {
    RowSource source{std::move(file), offset, {}, std::move(entry)};
    const ByteReader reader(data);
    if (offset >= 0 && offset < reader.size() && length > 0)
        source.bytes =
            data.substr(static_cast<std::size_t>(offset),
                        static_cast<std::size_t>(std::min(length, reader.size() - offset)));
    return source;
}

std::string settingsEntryText(std::string_view section, std::string_view key,
                              const std::string* value) {
    constexpr std::string_view kNoEntry = ": no entry";
    std::string text;
    text.reserve(section.size() + key.size() + 3 + (value ? value->size() + 1 : kNoEntry.size()));
    text.append("[").append(section).append("] ").append(key);
    if (value)
        text.append("=").append(*value);
    else
        text.append(kNoEntry);
    return text;
}

} // namespace dravik
