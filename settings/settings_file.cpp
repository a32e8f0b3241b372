#include "settings/settings_file.h"

#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system.h"

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

SettingsFile SettingsFile::parse(std::string_view bytes) {
    SettingsFile file;
    Section* current = nullptr;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        // A line ends at CR LF, a lone LF or a lone CR.
        // A plain scan: find_first_of would search the two line-end bytes
        // with a call per byte of the file.
        std::size_t end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        std::string_view line = trim(bytes.substr(pos, end - pos));
        pos = end + 1; // the empty line between CR and LF is skipped below

        if (line.empty())
            continue;
        if (line.front() == '[') {
            // What follows the first "]" is ignored: "[00] Defaut" opens "00".
            std::size_t close = line.find(']');
            std::string_view name = line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1);
            file.sections_.push_back(Section{std::string(name), {}});
            current = &file.sections_.back();
            continue;
        }
        std::size_t equals = line.find('=');
        if (current == nullptr || line.front() == ';' || equals == std::string_view::npos)
            continue;
        std::string_view key = trim(line.substr(0, equals));
        if (key.empty())
            continue;
        std::string_view value = trim(line.substr(equals + 1));
        current->entries.push_back(
            Entry{std::string(key), std::string(value.substr(0, kMaxValueLength))});
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
        used += entry.key.size() + 1;
        if (used > kSectionListLimit)
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
