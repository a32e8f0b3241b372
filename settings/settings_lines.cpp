#include "settings/settings_lines.h"

namespace dravik {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

SettingsLine SettingsLine::read(std::string_view text) {
    SettingsLine line;
    text = trim(text);
    line.text = text;
    if (text.empty())
        return line;
    if (text.front() == '[') {
        // What follows the first "]" is ignored: "[00] Defaut" opens "00".
        const std::size_t close = text.find(']');
        line.kind = Kind::Section;
        line.name =
            text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
        return line;
    }
    if (text.front() == ';') {
        line.kind = Kind::Comment;
        return line;
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        line.kind = Kind::NoEquals;
        return line;
    }
    line.name = trim(text.substr(0, equals));
    line.kind = line.name.empty() ? Kind::NoKey : Kind::Entry;
    if (line.kind == Kind::Entry)
        line.value = trim(text.substr(equals + 1));
    return line;
}

bool SettingsLineSplitter::next(std::string_view& line) {
    if (pos_ >= bytes_.size())
        return false;
    // A plain scan: find_first_of would search the two line-end bytes with a
    // call per byte of the file.
    std::size_t end = pos_;
    while (end < bytes_.size() && bytes_[end] != '\r' && bytes_[end] != '\n')
        ++end;
    line = bytes_.substr(pos_, end - pos_);
    lineStart_ = pos_;
    ++lineNumber_;
    // CR LF is one line break.
    pos_ = end + 1;
    if (pos_ < bytes_.size() && bytes_[end] == '\r' && bytes_[pos_] == '\n')
        ++pos_;
    return true;
}

} // namespace dravik
