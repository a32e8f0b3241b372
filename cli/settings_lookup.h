#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dravik::cli {

/// Where the commands' settings file was looked for when no "--settings"
/// names one: Dravik.ini of the start folder, else Dravik.ini of the user's
/// Dravik folder.
struct SettingsLookup {
    /// The folders looked in, in order.
    std::vector<std::string> looked;
    /// The first of them that holds a settings file; nothing when none does.
    std::optional<std::string> folder;
};

/// Looks in startFolder, then in userFolder unless it is empty (the
/// environment names none).
SettingsLookup lookUpSettings(const std::string& startFolder, const std::string& userFolder);

/// What a lookup that found nothing says, naming every folder it looked in,
/// and why there was no user folder to look in when there was none.
std::string settingsNotFoundText(const SettingsLookup& lookup);

} // namespace dravik::cli
