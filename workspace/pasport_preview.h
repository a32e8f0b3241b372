#pragma once

#include "modules/pasport.h"
#include "results/result_list.h"
#include "settings/settings_check.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dravik {

/// One row of the preview: the row that the Pasport command would show, the
/// line of the settings text that its layout entry stands on, and what is
/// wrong with that entry.
struct PreviewRow {
    ResultRow row;
    /// The entry's line, counted from 1; 0 when no entry made the row (the
    /// family row of the fallback layout).
    std::size_t line = 0;
    /// The problems of the check on that line.
    std::vector<SettingsProblem> problems;
    /// What the decode says of the row: an unknown type letter, or the error
    /// that ends the command at this row (Windows-1251).
    std::optional<std::string> message;
    /// True when the command ends at this row: no rows follow it.
    bool ends = false;
};

/// The passport that settings text (the bytes that the editor would save)
/// gives for a module, decoded as the Pasport command decodes it, with
/// nothing shown and nothing changed.
struct PasportPreview {
    /// The section whose layout decoded the module: the module's family code,
    /// or "00" when it holds none.
    std::string section;
    /// Where the family code stands in the module; none for "00".
    std::optional<std::int64_t> familyOffset;
    std::vector<PreviewRow> rows;
    /// Where each section of the text begins: its header's line and name.
    std::vector<std::pair<std::size_t, std::string>> sections;
    /// True when section was chosen to decode with, not found by the
    /// module's family code.
    bool chosen = false;
    /// True when a key of [Mod] names section.
    bool named = true;
    /// What the status line says when the layout reads past the end of a
    /// module shorter than a passport module (Windows-1251).
    std::optional<std::string> shortNote;

    /// The line that makes [Mod] name a chosen section, as one family whose
    /// name is the section's: added before line (counted from 1; past the
    /// last line at the end), with the header "[Mod]" when there is none.
    struct FamilyLine {
        std::size_t line = 0;
        std::string text; ///< one or two lines, without the break that ends them
    };
    std::optional<FamilyLine> familyLine;

    /// The name of the section that holds line (counted from 1) of the text;
    /// none before the first section.
    const std::string* sectionAt(std::size_t line) const;
};

/// Decodes module (choosePasportModule's, or any openModuleFile gave) by
/// settings, with the layout of section when one is chosen; problems are the
/// check's of the text that made them.
PasportPreview previewPasport(const PasportCandidate& module, const SettingsFile& settings,
                              const std::vector<SettingsProblem>& problems,
                              const std::optional<std::string>& section = std::nullopt);

/// A file opened as the preview's module, from any folder: its first bytes,
/// up to a passport module's size, and what the status line says of it.
struct OpenedModule {
    /// An empty path when the file could not be read.
    PasportCandidate module;
    /// Why the file is no passport module, or could not be read
    /// (Windows-1251); none for a passport module.
    std::optional<std::string> note;
};
OpenedModule openModuleFile(const std::string& path);

/// One pass of the settings editor over its text, read once: its problems,
/// and the passport that it gives for a module.
struct SettingsPass {
    std::vector<SettingsProblem> problems;
    /// None when no module was given, or when it is gone.
    std::optional<PasportPreview> preview;
    /// The module read anew because its file changed since it was read, or
    /// what is said of it when it is gone (an empty path); none when it is
    /// as it was read.
    std::optional<OpenedModule> reread;
};
/// A module whose file has changed since it was read (its stamp differs) is
/// read again and decoded as it is now.
SettingsPass passSettings(std::string_view settingsText,
                          const std::optional<PasportCandidate>& module,
                          const std::optional<std::string>& section = std::nullopt);

} // namespace dravik
