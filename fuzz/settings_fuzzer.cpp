// The settings reader on any text: its three lookups agree with each other,
// ignore letter case, and keep the section listing within its limit.

#include "fuzz_support.h"

#include "platform/cp1251.h"
#include "settings/settings_file.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace dravik;
using dravik::fuzz::require;

namespace {

constexpr std::string_view kNoValue = "\n"; // no value can hold a line break
constexpr std::size_t kMaxSectionsLookedAt = 16;
constexpr std::size_t kMaxKeysLookedAt = 8;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string lowered(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), foldCase);
    return result;
}

// The names between "[" and "]" of the text's header lines, and the sections
// the commands read.
std::vector<std::string> sectionNames(std::string_view text) {
    std::vector<std::string> names = {"Mod", "00", "CL", "LDR"};
    std::size_t pos = 0;
    while (pos < text.size() && names.size() < kMaxSectionsLookedAt) {
        std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] != '[')
            continue;
        line.remove_prefix(first + 1);
        names.emplace_back(line.substr(0, line.find(']')));
    }
    return names;
}

void checkKey(const SettingsFile& settings, const std::string& section, const std::string& key) {
    require(!key.empty(), "a listed key is not empty");
    require(key.find_first_of("\r\n=") == std::string::npos,
            "a key holds no line break and no \"=\"");
    require(!isBlank(key.front()) && !isBlank(key.back()), "a key has no blanks around it");
    require(key.front() != '[', "a key does not open a section");

    const std::string value = settings.readString(section, key, kNoValue);
    require(value != kNoValue, "ReadString finds every key that ReadSection lists");
    require(value.size() <= SettingsFile::kMaxValueLength, "a value is cut to 2047 characters");
    require(value.find_first_of("\r\n") == std::string::npos, "a value holds no line break");
    require(value.empty() || !isBlank(value.front()), "a value has no leading blank");
    require(value.size() == SettingsFile::kMaxValueLength || value.empty() ||
                !isBlank(value.back()),
            "a value that is not cut has no trailing blank");

    require(settings.readString(lowered(section), lowered(key), kNoValue) == value,
            "a lookup does not depend on letter case");
    require(settings.valueExists(section, key), "ValueExists knows every listed key");
    require(settings.valueExists(lowered(section), lowered(key)),
            "ValueExists does not depend on letter case");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::bytesOf(data, size);
    const SettingsFile settings = SettingsFile::parse(text);

    for (const std::string& section : sectionNames(text)) {
        const std::vector<std::string> keys = settings.readSection(section);
        std::size_t listed = 0;
        for (const std::string& key : keys)
            listed += key.size() + 1;
        require(listed <= SettingsFile::kSectionListLimit,
                "ReadSection lists at most 16384 bytes of keys with their terminating bytes");
        require(settings.readSection(lowered(section)) == keys,
                "ReadSection does not depend on letter case");

        for (std::size_t i = 0; i < keys.size() && i < kMaxKeysLookedAt; ++i)
            checkKey(settings, section, keys[i]);
        if (keys.size() > kMaxKeysLookedAt)
            checkKey(settings, section, keys.back());
    }

    require(settings.readSection(kNoValue).empty() &&
                settings.readString(kNoValue, "k", "def") == "def",
            "a section that no file can hold is missing");
    return 0;
}
