#include "settings/settings_file.h"

#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system.h"

#include <optional>

namespace dravik {

SettingsFile SettingsFile::parse(std::string_view bytes, const LineObserver& eachLine) {
    SettingsFile file;
    SettingsLineSplitter lines(bytes);
    std::string_view text;
    while (lines.next(text)) {
        const SettingsLine line = SettingsLine::read(text);
        if (eachLine)
            eachLine(lines.lineNumber(), text, line);
        if (line.kind == SettingsLine::Kind::Section) {
            file.sections_.push_back(Section{std::string(line.name), lines.lineNumber(), {}});
        } else if (line.kind == SettingsLine::Kind::Entry && !file.sections_.empty()) {
            file.sections_.back().entries.push_back(
                Entry{std::string(line.name), std::string(line.value.substr(0, kMaxValueLength)),
                      lines.lineNumber(), line.span(text)});
        }
    }
    return file;
}

SettingsTooLarge::SettingsTooLarge(const std::string& nativePath, std::uint64_t size)
    : FileOpenError("Cannot open file \"" + fromUtf8(nativePath) + "\". It is " +
                    std::to_string(size) + " bytes, over the " + std::to_string(kSettingsCapacity) +
                    " bytes a settings file may hold") {}

bool readSettingsBytes(const std::string& path, std::string& bytes) {
    bytes.clear();
    std::optional<PieceReader> reader = PieceReader::openPlain(path);
    if (!reader)
        return false;
    const std::int64_t size = reader->stamp().size;
    if (size > static_cast<std::int64_t>(kSettingsCapacity))
        throw SettingsTooLarge(path, static_cast<std::uint64_t>(size));
    // Read to its end, as a file read whole is; one that grew meanwhile is
    // read no further than a byte past the capacity.
    bytes = reader->readUpTo(0, static_cast<std::size_t>(size) + 1);
    if (bytes.size() > static_cast<std::size_t>(size))
        bytes += reader->readUpTo(static_cast<std::int64_t>(bytes.size()),
                                  kSettingsCapacity + 1 - bytes.size());
    if (bytes.size() > kSettingsCapacity)
        throw SettingsTooLarge(path, bytes.size());
    return true;
}

SettingsFile SettingsFile::load(const std::string& path) {
    std::string bytes;
    try {
        if (!readSettingsBytes(path, bytes))
            return {};
    } catch (const Error&) {
        // The profile lookups never fail: a file that can't be read, or one
        // too large to be read, has no sections.
        return {};
    }
    return parse(bytes);
}

SettingsFile SettingsFile::loadFrom(const std::string& startFolder) {
    return load(settingsFilePath(startFolder));
}

std::string settingsFilePath(const std::string& startFolder) {
    std::string exact = joinPath(startFolder, SettingsFile::kFileName);
    if (pathExists(exact))
        return exact;
    if (isPlainFile(startFolder))
        return startFolder;
    const std::vector<DirEntry> sameName = listFilesNamed(startFolder, SettingsFile::kFileName);
    return sameName.empty() ? exact : joinPath(startFolder, sameName.front().name);
}

const SettingsFile::Section* SettingsFile::findSection(std::string_view name) const {
    // A section that occurs twice is found by its first header.
    for (const Section& section : sections_) {
        if (equalsIgnoreCase(section.name, name))
            return &section;
    }
    return nullptr;
}

std::string SettingsFile::readString(std::string_view section, std::string_view key,
                                     std::string_view def) const {
    const std::string* value = findString(section, key);
    return value ? *value : std::string(def);
}

const SettingsFile::Entry* SettingsFile::findEntry(std::string_view section,
                                                   std::string_view key) const {
    if (const Section* found = findSection(section)) {
        for (const Entry& entry : found->entries) {
            if (equalsIgnoreCase(entry.key, key))
                return &entry;
        }
    }
    return nullptr;
}

const std::string* SettingsFile::findString(std::string_view section, std::string_view key) const {
    const Entry* entry = findEntry(section, key);
    return entry ? &entry->value : nullptr;
}

SettingsEntry SettingsFile::locate(std::string_view section, std::string_view key) const {
    SettingsEntry located{std::string(section), std::string(key), std::nullopt, 0};
    if (const Entry* entry = findEntry(section, key)) {
        located.value = entry->value;
        located.line = entry->line;
    }
    return located;
}

std::vector<std::string> SettingsFile::readSection(std::string_view section) const {
    std::vector<std::string> keys;
    const Section* found = findSection(section);
    if (found == nullptr)
        return keys;
    std::size_t used = 0;
    for (const Entry& entry : found->entries) {
        if (!listKey(used, entry.key))
            break;
        keys.push_back(entry.key);
    }
    return keys;
}

bool SettingsFile::valueExists(std::string_view section, std::string_view key) const {
    for (const std::string& listed : readSection(section)) {
        if (equalsIgnoreCase(listed, key))
            return true;
    }
    return false;
}

} // namespace dravik
