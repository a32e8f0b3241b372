#include "results/row_source.h"

#include "platform/byte_reader.h"

namespace dravik {

RowSource RowSource::in(std::shared_ptr<const std::string> file, std::string_view data,
                        std::int64_t offset, std::int64_t length, std::string entry) {
    RowSource source{std::move(file), offset, 0, {}, std::move(entry)};
    const ByteReader reader(data);
    if (offset >= 0 && offset < reader.size() && length > 0) {
        source.length = std::min(length, reader.size() - offset);
        source.bytes = data.substr(static_cast<std::size_t>(offset),
                                   static_cast<std::size_t>(source.length));
    }
    return source;
}

std::string settingsEntryText(std::string_view section, std::string_view key,
                              const std::string* value) {
    std::string text = "[" + std::string(section) + "] " + std::string(key);
    return value ? text + "=" + *value : text + ": no entry";
}

} // namespace dravik
