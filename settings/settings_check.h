#pragma once

#include <cstddef>
#include <string>
#include <string_view>
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
/// is Windows-1251 text, as the file is.
struct SettingsProblem {
    std::size_t line = 0; ///< counted from 1; CR LF, LF and CR each end a line
    Severity severity = Severity::Warning;
    std::string message;

    bool operator==(const SettingsProblem&) const = default;
};

/// Reads settings bytes by the rules of the settings reader and the passport
/// decoder and gives, in line order, every place where those rules drop, cut
/// or ignore something, or where a decode is bound to fail or show nothing
/// useful.
std::vector<SettingsProblem> checkSettings(std::string_view bytes);

/// The counts as a user reads them: "2 errors, 1 warning", "1 error",
/// "3 warnings", or "no problems".
std::string problemCountText(const std::vector<SettingsProblem>& problems);

/// True when a problem is an error.
bool hasError(const std::vector<SettingsProblem>& problems);

} // namespace dravik
