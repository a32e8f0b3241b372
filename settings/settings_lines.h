#pragma once

#include <cstddef>
#include <string_view>

namespace dravik {

/// Where on its line an entry or another line's text stands: byte columns
/// from the line's start (in Windows-1251 a byte is a character), end
/// excluded, without the blanks around the text.
struct ColumnSpan {
    std::size_t begin = 0;
    std::size_t end = 0;

    bool operator==(const ColumnSpan&) const = default;
};

/// One line of a settings file as the reader takes it. The settings reader
/// and the settings check both read through this, so that they can't differ.
struct SettingsLine {
    enum class Kind {
        Blank,
        Section,  ///< "[" opens a section; name is the text up to the first "]"
        Entry,    ///< key "=" value; an entry only inside a section
        Comment,  ///< begins with ";"
        NoEquals, ///< neither a header nor a comment, and without "="
        NoKey,    ///< "=" with nothing but blanks before it
    };

    Kind kind = Kind::Blank;
    std::string_view text;  ///< the line without the blanks around it
    std::string_view name;  ///< the section's name, or the entry's key
    std::string_view value; ///< the entry's value, blanks removed, not yet cut

    /// Reads one line, its line break left out.
    static SettingsLine read(std::string_view line);

    /// Where text stands on line, the line that read was given.
    ColumnSpan span(std::string_view line) const {
        const auto begin = static_cast<std::size_t>(text.data() - line.data());
        return {begin, begin + text.size()};
    }
};

/// The lines of settings bytes, split at CR LF, a lone LF or a lone CR.
class SettingsLineSplitter {
  public:
    explicit SettingsLineSplitter(std::string_view bytes) : bytes_(bytes) {}

    /// The next line without its line break; false after the last one.
    bool next(std::string_view& line);
    /// The line number of the line that next gave, counted from 1.
    std::size_t lineNumber() const { return lineNumber_; }
    /// Where that line starts in the bytes.
    std::size_t lineStart() const { return lineStart_; }

  private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::size_t lineStart_ = 0;
    std::size_t lineNumber_ = 0;
};

} // namespace dravik
