#include "settings/settings_file.h"

#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "settings/settings_lines.h"

namespace dravik {

SettingsFile SettingsFile::parse(std::string_view bytes) {
    SettingsFile file;
    Section* current = nullptr;
    SettingsLineSplitter lines(bytes);
    std::string_view text;
    while (lines.next(text)) {
        const SettingsLine line = SettingsLine::read(text);
        if (line.kind == SettingsLine::Kind::Section) {
            file.sections_.push_back(Section{std::string(line.name), {}});
            current = &file.sections_.back();
        } else if (line.kind == SettingsLine::Kind::Entry && current != nullptr) {
            current->entries.push_back(
                Entry{std::string(line.name), std::string(line.value.substr(0, kMaxValueLength))});
        }
    }
    return file;
}

SettingsFile SettingsFile::load(const std::string& path) {
    try {
        std::string bytes;
        if (!readPlainFile(path, bytes))
            return {};
        return parse(bytes);
    } catch (const Error&) {
        // The profile lookups never fail: a file that can't be read has no sections.
        return {};
    }
}

SettingsFile SettingsFile::loadFrom(const std::string& startFolder) {
    return load(settingsFilePath(startFolder));
}

std::string settingsFilePath(const std::string& startFolder) {
    std::string exact = joinPath(startFolder, SettingsFile::kFileName);
    if (pathExists(exact))
        return exact;
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

const std::string* SettingsFile::findString(std::string_view section, std::string_view key) const {
    if (const Section* found = findSection(section)) {
        for (const Entry& entry : found->entries) {
            if (equalsIgnoreCase(entry.key, key))
                return &entry.value;
        }
    }
    return nullptr;
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
