#pragma once

#include "platform/errors.h"
#include "platform/settings_entry.h"
#include "settings/settings_lines.h"

#include <cstdint>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dravik {

/// The largest settings file, in bytes as the settings editor writes it (CR
/// LF line breaks): far above any real settings file (the default content is
/// under 4 KiB), and small enough that the editor stays quick with it. A
/// larger file is refused before it is read.
inline constexpr std::size_t kSettingsCapacity = 1024 * 1024;

/// A settings file larger than kSettingsCapacity: "Cannot open file "%s". It
/// is N bytes, over the 1048576 bytes a settings file may hold".
class SettingsTooLarge : public FileOpenError {
  public:
    SettingsTooLarge(const std::string& nativePath, std::uint64_t size);
};

/// Reads the settings file at path whole into bytes, as readPlainFile does,
/// unless it is larger than kSettingsCapacity: that raises SettingsTooLarge
/// having read no more than the capacity and a byte.
bool readSettingsBytes(const std::string& path, std::string& bytes);

/// The settings file "Dravik.ini", parsed from its bytes. Texts are
/// Windows-1251 bytes; sections and keys are compared without regard to case.
class SettingsFile {
  public:
    /// The name of the settings file in the start folder.
    static constexpr std::string_view kFileName = "Dravik.ini";
    /// A value longer than this is cut.
    static constexpr std::size_t kMaxValueLength = 2047;
    /// ReadSection lists keys, each with a terminating byte, up to this size.
    static constexpr std::size_t kSectionListLimit = 16384;

    /// Adds key to a section listing that holds used bytes; false when it
    /// does not fit, so that it and the keys after it are not listed.
    static bool listKey(std::size_t& used, std::string_view key) {
        used += key.size() + 1;
        return used <= kSectionListLimit;
    }

    /// An entry of a section: its key, its value (cut), its line and where
    /// on the line it stands.
    struct Entry {
        std::string key;
        std::string value;
        std::size_t line = 0;
        ColumnSpan span;
    };
    /// A section as its header opens it: the name as written, the header's
    /// line, and the entries up to the next header.
    struct Section {
        std::string name;
        std::size_t line = 0;
        std::vector<Entry> entries;
    };

    /// Sees each line of the text as parse reads it: its number (from 1),
    /// the line itself without its break, and how it reads.
    using LineObserver =
        std::function<void(std::size_t number, std::string_view text, const SettingsLine& line)>;

    SettingsFile() = default;

    /// Parses the text of a settings file, showing each line to eachLine.
    static SettingsFile parse(std::string_view bytes, const LineObserver& eachLine = {});

    /// Reads the file at path; a missing or unreadable file, or anything that
    /// is not a plain file (a folder, a pipe), reads as a file without sections;
    /// so does a file larger than kSettingsCapacity, which is not read.
    static SettingsFile load(const std::string& path);

    /// Reads the settings file of startFolder, found by settingsFilePath.
    static SettingsFile loadFrom(const std::string& startFolder);

    /// The value of the first entry key in section, or def when either is missing.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view def) const;

    /// The value of the first entry key in section, or nullptr when either is missing.
    const std::string* findString(std::string_view section, std::string_view key) const;

    /// The keys of section in file order, as far as they fit the section listing.
    std::vector<std::string> readSection(std::string_view section) const;

    /// True when key is among the keys that readSection(section) gives.
    bool valueExists(std::string_view section, std::string_view key) const;

    /// The entry that readString(section, key) reads, named as looked up,
    /// with its value and line; without a value when there is none.
    SettingsEntry locate(std::string_view section, std::string_view key) const;

    /// Every section in file order, a repeated one too (lookups read the first).
    const std::vector<Section>& sections() const { return sections_; }

  private:
    const Section* findSection(std::string_view name) const;
    const Entry* findEntry(std::string_view section, std::string_view key) const;

    std::vector<Section> sections_;
};

/// The settings file of startFolder, to read and to write: "Dravik.ini" when
/// that exists, else the first plain file of startFolder whose name equals it
/// without regard to case (one copied from Windows as "DRAVIK.INI"), in the
/// order of enumeration; when there is none, "Dravik.ini", which writing
/// creates. A startFolder that is itself a plain file is the settings file,
/// read in place (dravik-cli --settings names one).
std::string settingsFilePath(const std::string& startFolder);

} // namespace dravik
