#include "workspace/pasport_preview.h"

#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "settings/field_layout.h"
#include "settings/settings_file.h"

#include <algorithm>

namespace dravik {
namespace {

// The row at which the decode's error ended the rows: its entry, no value.
PreviewRow endingRow(const Error& error) {
    PreviewRow row;
    row.ends = true;
    row.message = errorReportText(error.message());
    if (const std::optional<SettingsEntry>& entry = error.entry()) {
        row.row.name = entry->key;
        row.line = entry->line;
        row.row.source = RowSource{nullptr, 0, {}, entry, {}};
    }
    return row;
}

// Where [Mod] gets the line that names section: after the last entry of the
// first [Mod], or with a header of its own before the first section.
PasportPreview::FamilyLine familyLineFor(const SettingsFile& settings, const std::string& section) {
    const std::string entry = section + "=" + section;
    for (const SettingsFile::Section& families : settings.sections()) {
        if (!equalsIgnoreCase(families.name, kFamiliesSection))
            continue;
        const std::size_t last =
            families.entries.empty() ? families.line : families.entries.back().line;
        return {last + 1, entry};
    }
    const std::vector<SettingsFile::Section>& sections = settings.sections();
    return {sections.empty() ? 1 : sections.front().line,
            "[" + std::string(kFamiliesSection) + "]\r\n" + entry};
}

// The note for a module shorter than the bytes that section's layout reads.
std::optional<std::string> shortModuleNote(std::string_view module, const SettingsFile& settings,
                                           const std::string& section) {
    if (module.size() >= kPasportModuleSize)
        return std::nullopt;
    std::int64_t end = 0;
    for (const std::string& key : settings.readSection(section)) {
        try {
            const FieldSpec field = FieldSpec::parse(settings.readString(section, key, ""));
            const auto size = static_cast<std::int64_t>(fieldTypeSize(field.type));
            const std::int64_t length = std::min<std::int64_t>(field.length(), size);
            if (length > 0)
                end = std::max(end, static_cast<std::int64_t>(field.offset()) + length);
        } catch (const ConvertError&) {
            break; // the decode ends here too
        }
    }
    const auto size = static_cast<std::int64_t>(module.size());
    if (end <= size)
        return std::nullopt;
    return "The module is " + std::to_string(size) + " bytes; the layout reads up to byte " +
           std::to_string(end - 1) + ", so the values past its end are blank.";
}

} // namespace

PasportPreview previewPasport(const PasportCandidate& module, const SettingsFile& settings,
                              const std::vector<SettingsProblem>& problems,
                              const std::optional<std::string>& section) {
    const FamilyCode family = section ? FamilyCode{*section, std::nullopt}
                                      : locateFamilyCode(module.module, settings);
    Decoded decoded = decodePasportModule(module.module, module.path, settings, section);

    PasportPreview preview;
    preview.section = family.code;
    preview.familyOffset = family.offset;
    preview.chosen = section.has_value();
    preview.named = settings.findString(kFamiliesSection, family.code) != nullptr;
    // The sections of the lookups are no family's layout: none is offered for them.
    const bool lookups = equalsIgnoreCase(family.code, kFamiliesSection) ||
                         equalsIgnoreCase(family.code, kProgramClassesSection) ||
                         equalsIgnoreCase(family.code, kLoaderFamiliesSection);
    if (preview.chosen && !preview.named && !lookups)
        preview.familyLine = familyLineFor(settings, family.code);
    preview.shortNote = shortModuleNote(module.module, settings, family.code);
    for (const SettingsFile::Section& section : settings.sections())
        preview.sections.emplace_back(section.line, section.name);
    for (ResultRow& row : decoded.rows) {
        PreviewRow& shown = preview.rows.emplace_back();
        if (row.source && row.source->setting)
            shown.line = row.source->setting->line;
        shown.row = std::move(row);
    }
    // The family row names its entry of [Mod] also when the fallback layout
    // decoded the module.
    if (!preview.rows.empty())
        preview.rows.front().line = settings.locate(kFamiliesSection, family.code).line;
    for (const DecodeMessage& message : decoded.messages) {
        if (message.row < preview.rows.size())
            preview.rows[message.row].message = message.text;
    }
    if (decoded.error)
        preview.rows.push_back(endingRow(*decoded.error));

    for (PreviewRow& row : preview.rows) {
        // The check gives its problems in line order.
        const auto onLine =
            std::ranges::equal_range(problems, row.line, {}, &SettingsProblem::line);
        if (row.line != 0)
            row.problems.assign(onLine.begin(), onLine.end());
    }
    return preview;
}

SettingsPass passSettings(std::string_view settingsText,
                          const std::optional<PasportCandidate>& module,
                          const std::optional<std::string>& section) {
    CheckedSettings checked = readAndCheckSettings(settingsText);
    SettingsPass pass{std::move(checked.problems), std::nullopt, std::nullopt};
    const PasportCandidate* decoded = module ? &*module : nullptr;
    if (module && module->stamp && plainFileStamp(module->path) != module->stamp) {
        pass.reread = openModuleFile(module->path);
        decoded = pass.reread->module.path.empty() ? nullptr : &pass.reread->module;
    }
    if (decoded)
        pass.preview = previewPasport(*decoded, checked.settings, pass.problems, section);
    return pass;
}

OpenedModule openModuleFile(const std::string& path) {
    OpenedModule opened;
    const std::string name = "\"" + fromUtf8(nameOf(path)) + "\"";
    try {
        // A pipe or a device in the file's place counts as no file.
        std::optional<PieceReader> reader = PieceReader::openIfPlain(path);
        if (!reader)
            throw inOutError(kErrorFileNotFound);
        // One byte more than a module tells a longer file.
        std::string bytes = reader->readUpTo(0, kPasportModuleSize + 1);
        const bool longer = bytes.size() > kPasportModuleSize;
        bytes.resize(std::min<std::size_t>(bytes.size(), kPasportModuleSize));
        const bool marked = marksPasport(std::string_view(bytes).substr(
            std::min<std::size_t>(bytes.size(), kPasportVersionOffset)));
        opened.module = {path, std::move(bytes), reader->stamp()};
        if (longer || !marked)
            opened.note = name +
                          " is not a passport module, which is 512 bytes with \"Q8\" at offset "
                          "505; its first bytes are decoded all the same.";
    } catch (const Error& error) {
        opened.note = name + ": " + errorReportText(error.message());
    }
    return opened;
}

const std::string* PasportPreview::sectionAt(std::size_t line) const {
    const auto after = std::upper_bound(
        sections.begin(), sections.end(), line,
        [](std::size_t wanted, const auto& section) { return wanted < section.first; });
    return after == sections.begin() ? nullptr : &std::prev(after)->second;
}

} // namespace dravik
