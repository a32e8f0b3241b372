#include "results/row_json.h"

#include "platform/cp1251.h"

namespace dravik {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

} // namespace

std::string jsonString(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string literal = "\"";
    while (!utf8.empty()) {
        const auto c = static_cast<unsigned char>(utf8.front());
        if (c == '"' || c == '\\') {
            literal += '\\';
            literal += static_cast<char>(c);
        } else if (c == '\n') {
            literal += "\\n";
        } else if (c == '\r') {
            literal += "\\r";
        } else if (c == '\t') {
            literal += "\\t";
        } else if (c < 0x20) {
            literal += "\\u00";
            literal += kHex[c >> 4];
            literal += kHex[c & 0x0F];
        } else if (std::size_t length = utf8SequenceLength(utf8); length == 0) {
            literal += kReplacementCharacter;
        } else {
            literal += utf8.substr(0, length);
            utf8.remove_prefix(length - 1);
        }
        utf8.remove_prefix(1);
    }
    return literal + "\"";
}

std::string sourceJson(const RowSource& source) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string bytes;
    bytes.reserve(2 * source.bytes.size());
    for (const char c : source.bytes) {
        bytes += kHex[static_cast<unsigned char>(c) >> 4];
        bytes += kHex[static_cast<unsigned char>(c) & 0x0F];
    }
    return "{\"file\": " + jsonString(source.file ? source.file->path : std::string()) +
           ", \"offset\": " + std::to_string(source.offset) +
           ", \"length\": " + std::to_string(source.length()) + ", \"bytes\": \"" + bytes +
           "\", \"entry\": " + jsonString(toUtf8(source.entryText())) + "}";
}

std::string rowJson(const ResultRow& row, bool edited) {
    std::string json = "{\"name\": " + jsonString(toUtf8(row.name)) +
                       ", \"value\": " + jsonString(toUtf8(row.value));
    if (row.source && !edited)
        json += ", \"source\": " + sourceJson(*row.source);
    return json + "}";
}

std::string tsvField(std::string_view text) {
    std::string field;
    field.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\\':
            field += "\\\\";
            break;
        case '\t':
            field += "\\t";
            break;
        case '\n':
            field += "\\n";
            break;
        case '\r':
            field += "\\r";
            break;
        default:
            field += c;
        }
    }
    return field;
}

} // namespace dravik
