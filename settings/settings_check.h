#pragma once

#include "settings/settings_file.h"
#include "settings/settings_lines.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dravik {

/// How much a problem of a settings file matters.
enum class Severity {
    Warning, ///< something is ignored or cut
    Error,   ///< a decode fails or shows a wrong value
};

/// "warning" or "error".
std::string_view severityName(Severity severity);

/// One problem of a settings file. The message names the section and key; it
/// and the names are Windows-1251 text, as the file is.
struct SettingsProblem {
    SettingsProblem() = default;
    SettingsProblem(std::size_t line, Severity severity, std::string message)
        : line(line), severity(severity), message(std::move(message)) {}

    std::size_t line = 0; ///< counted from 1; CR LF, LF and CR each end a line
    Severity severity = Severity::Warning;
    std::string message;
    /// Where on its line the entry, or the text of a line that is none,
    /// stands: what a click on the editor's count selects.
    ColumnSpan span;

    bool operator==(const SettingsProblem&) const = default;
};

/// Settings bytes read once: the settings as the commands read them, and the
/// problems of the text.
struct CheckedSettings {
    SettingsFile settings;
    std::vector<SettingsProblem> problems;
};

/// Reads settings bytes by the rules of the settings reader and the passport
/// decoder and gives, in line order, every place where those rules drop, cut
/// or ignore something, or where a decode is bound to fail or show nothing
/// useful, beside the settings that the bytes make.
CheckedSettings readAndCheckSettings(std::string_view bytes);

/// readAndCheckSettings's problems alone.
std::vector<SettingsProblem> checkSettings(std::string_view bytes);

/// A problem as every list of them writes it: "LINE: severity: message"
/// (Windows-1251); a list puts what names the file or the line before it.
std::string problemText(const SettingsProblem& problem);

/// The counts as a user reads them: "2 errors, 1 warning", "1 error",
/// "3 warnings", or "no problems".
std::string problemCountText(const std::vector<SettingsProblem>& problems);

/// True when a problem is an error.
bool hasError(const std::vector<SettingsProblem>& problems);

} // namespace dravik
