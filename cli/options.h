#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravik::cli {

enum class Command {
    Pasport,
    CheckRom,
    Specification,
    CheckLdr,
    RenameLdr,
    DefaultSettings,
    CheckSettings,
    Compare
};

enum class Format { Text, Tsv, Json };

/// What the command line asks for.
struct Options {
    Command command{};
    /// The folders or loader files, as given; the folder commands get "."
    /// (the current directory) when none is given.
    std::vector<std::string> inputs;
    Format format = Format::Text;
    std::optional<std::string> reportPath;
    std::optional<std::string> settingsPath;
    std::optional<std::string> outputPath;
    /// compare: the command of "--command", as given ("all" when none is).
    std::optional<std::string> compareCommand;
    /// compare: "--only-differences".
    bool onlyDifferences = false;
    /// "--trim": names and values printed without their trailing blanks.
    bool trim = false;
};

/// A command line that asks for nothing that can be done; the message says why.
struct UsageError {
    std::string message;
};

/// The help text that "--help" prints.
extern const std::string_view kUsage;

/// True when the arguments ask for the help text or the version: "-h",
/// "--help" or "--version" before any "--".
bool asksFor(const std::vector<std::string>& args, std::string_view longName,
             std::string_view shortName = {});

/// Parses the arguments after the program's name; raises UsageError.
Options parseOptions(const std::vector<std::string>& args);

/// True for the commands that read the settings file.
bool readsSettings(Command command);

} // namespace dravik::cli
