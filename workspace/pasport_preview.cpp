#include "workspace/pasport_preview.h"

#include "platform/errors.h"
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

} // namespace

PasportPreview previewPasport(const PasportCandidate& module, const SettingsFile& settings,
                              const std::vector<SettingsProblem>& problems) {
    const FamilyCode family = locateFamilyCode(module.module, settings);
    Decoded decoded = decodePasportModule(module.module, module.path, settings);

    PasportPreview preview{family.code, family.offset, {}, {}};
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
                          const std::optional<PasportCandidate>& module) {
    CheckedSettings checked = readAndCheckSettings(settingsText);
    SettingsPass pass{std::move(checked.problems), std::nullopt};
    if (module)
        pass.preview = previewPasport(*module, checked.settings, pass.problems);
    return pass;
}

const std::string* PasportPreview::sectionAt(std::size_t line) const {
    const auto after = std::upper_bound(
        sections.begin(), sections.end(), line,
        [](std::size_t wanted, const auto& section) { return wanted < section.first; });
    return after == sections.begin() ? nullptr : &std::prev(after)->second;
}

} // namespace dravik
