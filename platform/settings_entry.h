#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace dravik {

/// An entry of the settings file as a row or an error names it: the section
/// and key that were looked up, the value found there, and the line it
/// stands on (Windows-1251 texts).
struct SettingsEntry {
    std::string section;
    std::string key;
    /// None when the settings hold no such entry.
    std::optional<std::string> value;
    /// Counted from 1; 0 when the entry's line is not known or there is none.
    std::size_t line = 0;

    bool operator==(const SettingsEntry&) const = default;
};

/// The entry as the user reads it: "[CL] A=Program A - Main", or
/// "[CL] A: no entry" when the settings hold none.
std::string settingsEntryText(const SettingsEntry& entry);

} // namespace dravik
