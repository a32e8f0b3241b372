#include "platform/settings_entry.h"

#include <string_view>

namespace dravik {

std::string settingsEntryText(const SettingsEntry& entry) {
    constexpr std::string_view kNoEntry = ": no entry";
    std::string text;
    text.reserve(entry.section.size() + entry.key.size() + 3 +
                 (entry.value ? entry.value->size() + 1 : kNoEntry.size()));
    text.append("[").append(entry.section).append("] ").append(entry.key);
    if (entry.value)
        text.append("=").append(*entry.value);
    else
        text.append(kNoEntry);
    return text;
}

} // namespace dravik
