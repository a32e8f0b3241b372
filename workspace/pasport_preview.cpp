#include "workspace/pasport_preview.h"

#include "platform/cp1251.h"
#include "platform/errors.h"
#include "settings/field_layout.h"
#include "settings/settings_file.h"
#include "settings/settings_lines.h"

#include <algorithm>
#include <exception>
#include <unordered_map>

namespace dravik {
namespace {

std::string folded(std::string_view text) {
    std::string key(text);
    for (char& c : key)
        c = foldCase(c);
    return key;
}

// Where the entries that a passport's rows come from stand: the first entry
// of each key in the first section of the layout, as the lookups find them,
// and the family's entry in the first section "Mod"; and where each section
// begins.
struct EntryLines {
    std::unordered_map<std::string, std::size_t> layout;
    std::size_t family = 0;
    std::vector<std::pair<std::size_t, std::string>> sections;
};

EntryLines findEntryLines(std::string_view text, const std::string& section) {
    EntryLines lines;
    const std::string layoutName = folded(section);
    const std::string familiesName = folded(kFamiliesSection);
    // A later section of the same name is read by no lookup, and its
    // entries come after those found first.
    enum class In { Other, Layout, Families } in = In::Other;
    SettingsLineSplitter splitter(text);
    for (std::string_view raw; splitter.next(raw);) {
        const SettingsLine line = SettingsLine::read(raw);
        if (line.kind == SettingsLine::Kind::Section) {
            lines.sections.emplace_back(splitter.lineNumber(), line.name);
            const std::string name = folded(line.name);
            in = name == layoutName ? In::Layout : name == familiesName ? In::Families : In::Other;
            continue;
        }
        if (line.kind != SettingsLine::Kind::Entry || in == In::Other)
            continue;
        if (in == In::Layout)
            lines.layout.try_emplace(folded(line.name), splitter.lineNumber());
        else if (lines.family == 0 && equalsIgnoreCase(line.name, section))
            lines.family = splitter.lineNumber();
    }
    return lines;
}

// The row at which the decode's error ended the rows: its entry, no value.
PreviewRow endingRow(const std::exception_ptr& error) {
    PreviewRow row;
    row.ends = true;
    try {
        std::rethrow_exception(error);
    } catch (const Error& raised) {
        row.row.name = raised.entry.key;
        row.row.source = RowSource{
            nullptr,
            0,
            {},
            settingsEntryText(raised.entry.section, raised.entry.key, &raised.entry.value)};
        row.message = errorReportText(raised.message());
    }
    return row;
}

} // namespace

PasportPreview previewPasport(const PasportCandidate& module, std::string_view settingsText,
                              const std::vector<SettingsProblem>& problems) {
    const SettingsFile settings = SettingsFile::parse(settingsText);
    const FamilyCode family = locateFamilyCode(module.module, settings);
    Decoded decoded = decodePasportModule(module.module, module.path, settings);
    EntryLines lines = findEntryLines(settingsText, family.code);

    PasportPreview preview{family.code, family.offset, {}, std::move(lines.sections)};
    for (ResultRow& row : decoded.rows) {
        preview.rows.emplace_back();
        preview.rows.back().row = std::move(row);
    }
    for (const DecodeMessage& message : decoded.messages) {
        if (message.row < preview.rows.size())
            preview.rows[message.row].message = message.text;
    }
    if (decoded.error)
        preview.rows.push_back(endingRow(decoded.error));

    for (std::size_t i = 0; i < preview.rows.size(); ++i) {
        PreviewRow& row = preview.rows[i];
        if (i == 0) {
            row.line = lines.family;
        } else if (auto found = lines.layout.find(folded(row.row.name));
                   found != lines.layout.end()) {
            row.line = found->second;
        }
        // The check gives its problems in line order.
        const auto onLine =
            std::ranges::equal_range(problems, row.line, {}, &SettingsProblem::line);
        if (row.line != 0)
            row.problems.assign(onLine.begin(), onLine.end());
    }
    return preview;
}

const std::string* PasportPreview::sectionAt(std::size_t line) const {
    const auto after = std::upper_bound(
        sections.begin(), sections.end(), line,
        [](std::size_t wanted, const auto& section) { return wanted < section.first; });
    return after == sections.begin() ? nullptr : &std::prev(after)->second;
}

} // namespace dravik
