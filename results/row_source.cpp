#include "results/row_source.h"

#include "platform/byte_reader.h"

namespace dravik {

std::shared_ptr<const SourceFile> SourceFile::at(std::string path) {
    std::optional<FileStamp> stamp = plainFileStamp(path);
    return std::make_shared<const SourceFile>(SourceFile{std::move(path), stamp});
}

RowSource RowSource::in(std::shared_ptr<const SourceFile> file, std::string_view data,
                        std::int64_t offset, std::int64_t length, std::string part) {
    RowSource source{std::move(file), offset, {}, std::nullopt, std::move(part)};
    const ByteReader reader(data);
    if (offset >= 0 && offset < reader.size() && length > 0)
        source.bytes =
            data.substr(static_cast<std::size_t>(offset),
                        static_cast<std::size_t>(std::min(length, reader.size() - offset)));
    return source;
}

RowSource RowSource::in(std::shared_ptr<const SourceFile> file, std::string_view data,
                        std::int64_t offset, std::int64_t length, SettingsEntry setting) {
    RowSource source = in(std::move(file), data, offset, length, std::string());
    source.setting = std::move(setting);
    return source;
}

} // namespace dravik
