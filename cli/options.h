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
    Compare,
    Library
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
    /// library: the action (add, list, show, remove, find or donors); the
    /// inputs are then its arguments.
    std::string libraryAction;
    /// library: "--library URL", the library to use instead of the one that
    /// DRAVIK_LIBRARY names or the user's own.
    std::optional<std::string> libraryUrl;
    /// library add: "--recursive", the drive folders below each FOLDER.
    bool recursive = false;
    /// library donors: "--match NAME,...", as given.
    std::optional<std::string> matchNames;
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
/// The same for a whole command line: the library reads them to decode folders.
bool readsSettings(const Options& options);

} // namespace dravik::cli
