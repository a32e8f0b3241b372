// The settings reader on any text: its three lookups give what the reading
// rules, worked out line by line, say; they ignore letter case, and the
// section listing keeps within its limit. The settings check on the same text
// names lines that exist, in order, and finds no error only where every
// layout decodes without a conversion error or an "Error Code" message.

#include "fuzz_support.h"

#include "modules/pasport.h"
#include "platform/cp1251.h"
#include "platform/errors.h"
#include "settings/field_layout.h"
#include "settings/settings_check.h"
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

std::string lowered(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), foldCase);
    return result;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

struct ModelSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
};

// The sections of the text by the reading rules, worked out line by line: a
// line is cut at CR or LF, a "[" opens a section named up to the first "]",
// an entry is a key and value split at the first "=" with blanks removed.
// Lines without "=" or beginning with ";" and entries before the first
// section carry nothing.
std::vector<ModelSection> modelOf(std::string_view text) {
    std::vector<ModelSection> sections;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        const std::string_view line = trimmed(text.substr(pos, end - pos));
        pos = end + 1;
        if (line.starts_with('[')) {
            sections.push_back({std::string(line.substr(1, line.find(']') - 1)), {}});
            continue;
        }
        const std::size_t equals = line.find('=');
        if (sections.empty() || line.starts_with(';') || equals == std::string_view::npos ||
            trimmed(line.substr(0, equals)).empty())
            continue;
        sections.back().entries.emplace_back(
            trimmed(line.substr(0, equals)),
            trimmed(line.substr(equals + 1)).substr(0, SettingsFile::kMaxValueLength));
    }
    return sections;
}

// The keys that ReadSection must list: those of the first section of that
// name, as far as they fit the listing with a terminating byte each.
std::vector<std::string> expectedKeys(const std::vector<ModelSection>& model,
                                      std::string_view name) {
    std::vector<std::string> keys;
    for (const ModelSection& section : model) {
        if (!equalsIgnoreCase(section.name, name))
            continue;
        std::size_t used = 0;
        for (const auto& [key, value] : section.entries) {
            used += key.size() + 1;
            if (used > SettingsFile::kSectionListLimit)
                break;
            keys.push_back(key);
        }
        break;
    }
    return keys;
}

// The value of the first entry of key in the first section of that name.
std::string expectedValue(const std::vector<ModelSection>& model, std::string_view name,
                          std::string_view key) {
    for (const ModelSection& section : model) {
        if (!equalsIgnoreCase(section.name, name))
            continue;
        for (const auto& [entryKey, value] : section.entries) {
            if (equalsIgnoreCase(entryKey, key))
                return value;
        }
        break;
    }
    return std::string(kNoValue);
}

void checkKey(const SettingsFile& settings, const std::vector<ModelSection>& model,
              const std::string& section, const std::string& key) {
    const std::string value = settings.readString(section, key, kNoValue);
    require(value == expectedValue(model, section, key),
            "ReadString gives the first entry of the key, without blanks, cut to 2047 characters");
    require(settings.readString(lowered(section), lowered(key), kNoValue) == value,
            "a lookup does not depend on letter case");
    require(settings.valueExists(section, key), "ValueExists knows every listed key");
    require(settings.valueExists(lowered(section), lowered(key)),
            "ValueExists does not depend on letter case");
}

// The lines of the text: CR LF, a lone CR and a lone LF each end one.
std::size_t lineCount(std::string_view text) {
    std::size_t lines = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            ++lines;
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        }
    }
    return lines + (text.empty() || text.back() == '\r' || text.back() == '\n' ? 0 : 1);
}

// Decodes a zero-filled module by each listed layout: true when none of its
// first fields raises a conversion error or shows a message.
bool layoutsDecode(const SettingsFile& settings) {
    const std::string module(kPasportModuleSize, '\0');
    const ByteReader reader(module);
    std::vector<std::string> families = settings.readSection(kFamiliesSection);
    families.emplace_back(kFallbackLayout);
    for (std::size_t f = 0; f < families.size() && f < kMaxSectionsLookedAt; ++f) {
        const std::vector<std::string> keys = settings.readSection(families[f]);
        for (std::size_t k = 0; k < keys.size() && k < kMaxKeysLookedAt; ++k) {
            const FieldSpec field = FieldSpec::parse(settings.readString(families[f], keys[k], ""));
            try {
                if (decodePasportValue(reader, field).message)
                    return false;
            } catch (const ConvertError&) {
                return false;
            }
        }
    }
    return true;
}

void checkTheCheck(std::string_view text, const SettingsFile& settings) {
    const std::vector<SettingsProblem> problems = checkSettings(text);
    const std::size_t lines = lineCount(text);
    for (std::size_t i = 0; i < problems.size(); ++i) {
        require(problems[i].line >= 1 && problems[i].line <= std::max<std::size_t>(lines, 1),
                "a problem names a line of the text");
        require(i == 0 || problems[i - 1].line <= problems[i].line, "problems come in line order");
        require(!problems[i].message.empty(), "a problem says what it is");
    }
    require(hasError(problems) || layoutsDecode(settings),
            "a text without errors decodes every layout");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::bytesOf(data, size);
    const SettingsFile settings = SettingsFile::parse(text);
    const std::vector<ModelSection> model = modelOf(text);

    std::vector<std::string> names = {std::string(kFamiliesSection), std::string(kFallbackLayout),
                                      std::string(kProgramClassesSection),
                                      std::string(kLoaderFamiliesSection)};
    for (std::size_t i = 0; i < model.size() && names.size() < kMaxSectionsLookedAt; ++i)
        names.push_back(model[i].name);

    for (const std::string& section : names) {
        const std::vector<std::string> keys = settings.readSection(section);
        require(keys == expectedKeys(model, section),
                "ReadSection lists the keys of the first such section as far as they fit");
        std::size_t listed = 0;
        for (const std::string& key : keys)
            listed += key.size() + 1;
        require(listed <= SettingsFile::kSectionListLimit,
                "ReadSection lists at most 16384 bytes of keys with their terminating bytes");
        require(settings.readSection(lowered(section)) == keys,
                "ReadSection does not depend on letter case");

        for (std::size_t i = 0; i < keys.size() && i < kMaxKeysLookedAt; ++i)
            checkKey(settings, model, section, keys[i]);
        if (keys.size() > kMaxKeysLookedAt)
            checkKey(settings, model, section, keys.back());
    }

    checkTheCheck(text, settings);

    require(settings.readSection(kNoValue).empty() &&
                settings.readString(kNoValue, "k", "def") == "def",
            "a section that no file can hold is missing");
    return 0;
}
