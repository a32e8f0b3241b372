#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dravik {

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

    SettingsFile() = default;

    /// Parses the text of a settings file.
    static SettingsFile parse(std::string_view bytes);

    /// Reads the file at path; a missing or unreadable file, or anything that
    /// is not a plain file (a folder, a pipe), reads as a file without sections.
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

  private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    const Section* findSection(std::string_view name) const;

    std::vector<Section> sections_;
};

/// The settings file of startFolder, to read and to write: "Dravik.ini" when
/// that exists, else the first plain file of startFolder whose name equals it
/// without regard to case (one copied from Windows as "DRAVIK.INI"), in the
/// order of enumeration; when there is none, "Dravik.ini", which writing creates.
std::string settingsFilePath(const std::string& startFolder);

} // namespace dravik
