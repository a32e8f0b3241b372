#include "cli/options.h"

#include "cli/compare_command.h"
#include "cli/library_command.h"
#include "platform/console.h"

#include <utility>

namespace dravik::cli {

const std::string_view kUsage =
    R"(Usage: dravik-cli COMMAND [INPUT...] [OPTION...]

Runs a command of Dravik without a window, on each input in turn.

Commands:
  pasport [FOLDER...]        the drive's passport from the .rpm files of FOLDER
                             ("passport" works too)
  check-rom [FOLDER...]      every ROM image (.rpm of 131072 bytes) of FOLDER
  specification [FOLDER...]  the firmware's specification table of FOLDER
  check-ldr FILE...          the checksums, firmware code, family and status of a loader
  rename-ldr FILE...         renames a loader after its ROM checksum and firmware code
                             and prints its new path
  default-settings           the default content of Dravik.ini, to standard output
  check-settings [PATH]      the problems of a settings file (the one the commands
                             read unless PATH), as PATH:LINE: error|warning:
                             message, then the counts
  compare A B                the rows of two drive folders side by side, one line
                             a pair: "=" same, "!" differs, "<" only in A, ">" only
                             in B; the whole drive, each ROM image and loader as a
                             block of its own paired by file name (loaders then by
                             firmware code); two loader files compare as check-ldr
                             shows them, two passport modules as pasport does
  library ACTION [ARG...]    the library of drive folders (see below)

FOLDER defaults to the current directory. Rows go to standard output; the
title, messages and errors to standard error. On Windows FILE and FOLDER may
hold * and ?, which dravik-cli expands itself.

Options:
  --format text|tsv|json  text (the default): "Name:Value", the Name padded to
                          25 characters; with several inputs each input's rows
                          follow a line "==> INPUT <==".
                          tsv: "Name<TAB>Value", tab, line feed, carriage return
                          and backslash written as \t \n \r \\; with several
                          inputs "INPUT<TAB>" comes first.
                          json: an array of one object per input with its
                          path, rows, title, messages and error; a row read
                          from a file names its source (file, offset, length,
                          bytes, entry); check-settings: an array of one
                          object per problem.
  --report PATH           also write the rows of the one input to PATH as Save
                          All writes $Dravik.txt (Windows-1251, CR LF), also
                          when the command ends with an error
  --settings PATH         read the settings from PATH; without it the
                          commands read Dravik.ini of the current directory,
                          else Dravik.ini of the user's Dravik folder
                          ($XDG_CONFIG_HOME/dravik, ~/.config/dravik by
                          default; %APPDATA%\Dravik on Windows), else none
  --trim                  names and values without their trailing blanks (a
                          text field keeps the blanks that fill it otherwise);
                          the report is written as it is
  --output PATH           default-settings: write PATH (safely) instead
  --command NAME          compare: pasport (or passport), specification,
                          check-rom, check-ldr or all (the default: each block
                          of the drive that either side has)
  --only-differences      compare: leave out the pairs that are the same
  --library URL           library: the library file, or a PostgreSQL server as
                          postgresql://USER@HOST/DATABASE (libpq's URI form);
                          without it DRAVIK_LIBRARY, else the user's library
                          $XDG_DATA_HOME/dravik/library.sqlite
                          (~/.local/share/dravik; %LOCALAPPDATA%\Dravik)
  --recursive             library add: every drive folder (one that holds .rpm
                          or .ldr files) below each FOLDER
  --match NAME,...        library donors: the rows to match (default: Family,
                          Code FW, PCBA Pn. IDE Label, PCBA Config, HDA Module,
                          Check sum ROM)
  -h, --help, /?          show this text
  --version               show the version

Library actions (add and donors decode folders with the settings found as above):
  add FOLDER...       decodes and stores each drive folder; one whose .rpm and
                      .ldr files are unchanged (size and time) is skipped, a
                      changed one replaced whole
  list                every drive: id, label, family, firmware code, serial,
                      board and when it was last updated
  show DRIVE          a drive's rows, block by block; DRIVE is an id, a folder
                      (holding a separator, or . and ..) or a label
  remove DRIVE...     takes drives out of the library (their folders stay)
  find TERM...        the drives that every term holds for, with the rows that
                      matched: NAME=VALUE matches a row exactly, blanks at either
                      end not counting; NAME~TEXT a part of the value, letter
                      case not counting
  donors [FOLDER]     the library's drives ranked by how many match rows agree
                      with FOLDER's (the 20 best): "=" agrees, "!" differs, then
                      the name, FOLDER's value and the donor's

Output is UTF-8; the report and Dravik.ini are Windows-1251.
Exit status: 0 success, 1 an input ended with an error (check-settings: the
file has an error), 2 usage error. compare, as diff does: 0 no pair differs,
1 some pair differs, 2 trouble (a folder missing or unreadable, a file against
a folder, a module unreadable), told on standard error for its side.
library: 0 found or done, 1 nothing found or an input failed, 2 usage error or
the library can't be opened or written.
)";

namespace {

struct CommandName {
    std::string_view name;
    Command command;
};

constexpr CommandName kCommands[] = {
    {"pasport", Command::Pasport},
    {"passport", Command::Pasport},
    {"check-rom", Command::CheckRom},
    {"specification", Command::Specification},
    {"check-ldr", Command::CheckLdr},
    {"rename-ldr", Command::RenameLdr},
    {"default-settings", Command::DefaultSettings},
    {"check-settings", Command::CheckSettings},
    {"compare", Command::Compare},
    {"library", Command::Library},
};

std::string quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

// The place an option's value goes, or nullptr for an unknown option.
std::optional<std::string>* valueOf(const std::string& option, Options& options,
                                    std::optional<std::string>& format) {
    if (option == "--report")
        return &options.reportPath;
    if (option == "--settings")
        return &options.settingsPath;
    if (option == "--output")
        return &options.outputPath;
    if (option == "--format")
        return &format;
    if (option == "--command")
        return &options.compareCommand;
    if (option == "--library")
        return &options.libraryUrl;
    if (option == "--match")
        return &options.matchNames;
    return nullptr;
}

Format formatNamed(const std::string& name) {
    if (name == "text")
        return Format::Text;
    if (name == "tsv")
        return Format::Tsv;
    if (name == "json")
        return Format::Json;
    throw UsageError{"unknown format " + quoted(name) + " (text, tsv or json)"};
}

} // namespace

bool asksFor(const std::vector<std::string>& args, std::string_view longName,
             std::string_view shortName) {
    for (const std::string& arg : args) {
        if (arg == "--")
            return false;
        if (arg == longName || (!shortName.empty() && arg == shortName))
            return true;
    }
    return false;
}

bool readsSettings(Command command) {
    return command == Command::Pasport || command == Command::CheckRom ||
           command == Command::CheckLdr || command == Command::Compare;
}

bool readsSettings(const Options& options) {
    return readsSettings(options.command) || libraryDecodes(options);
}

namespace {

// Sorts the arguments into the options' values and the positional words.
std::vector<std::string> readArguments(const std::vector<std::string>& args, Options& options,
                                       std::optional<std::string>& format) {
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string option = arg;
        std::optional<std::string> value;
        if (std::size_t equals = arg.find('='); arg.starts_with("--") && equals != arg.npos) {
            option = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        if (arg == "--only-differences") {
            options.onlyDifferences = true;
            continue;
        }
        if (arg == "--trim") {
            options.trim = true;
            continue;
        }
        if (arg == "--recursive") {
            options.recursive = true;
            continue;
        }
        std::optional<std::string>* target = valueOf(option, options, format);
        if (target == nullptr)
            throw UsageError{"unknown option " + quoted(option)};
        if (!value && i + 1 < args.size())
            value = args[++i];
        if (!value || value->empty())
            throw UsageError{"option " + quoted(option) + " needs a value"};
        *target = std::move(value);
    }
    return positional;
}

Command commandNamed(const std::string& name) {
    const CommandName* found = nullptr;
    for (const CommandName& command : kCommands) {
        if (command.name == name)
            found = &command;
    }
    if (found == nullptr)
        throw UsageError{"unknown command " + quoted(name)};
    return found->command;
}

// Refuses the inputs and options that the command named name does not take;
// the module commands read the current directory when given no FOLDER.
void fitToCommand(Options& options, const std::string& name) {
    switch (options.command) {
    case Command::DefaultSettings:
        if (!options.inputs.empty())
            throw UsageError{quoted(name) + " takes no FOLDER or FILE"};
        if (options.reportPath || options.trim)
            throw UsageError{"option " + quoted(options.reportPath ? "--report" : "--trim") +
                             " does not go with " + quoted(name)};
        return;
    case Command::CheckSettings:
        if (options.inputs.size() > 1)
            throw UsageError{quoted(name) + " takes one PATH, not " +
                             std::to_string(options.inputs.size())};
        if (options.format == Format::Tsv)
            throw UsageError{quoted(name) + " writes text or json"};
        if (options.reportPath || options.settingsPath)
            throw UsageError{"option " + quoted(options.reportPath ? "--report" : "--settings") +
                             " does not go with " + quoted(name)};
        break;
    case Command::CheckLdr:
    case Command::RenameLdr:
        if (options.inputs.empty())
            throw UsageError{quoted(name) + " needs a FILE"};
        break;
    case Command::Pasport:
    case Command::CheckRom:
    case Command::Specification:
        if (options.inputs.empty())
            options.inputs.push_back(".");
        break;
    case Command::Compare:
        checkCompareOptions(options);
        break;
    case Command::Library:
        checkLibraryOptions(options);
        break;
    }
    if (options.command != Command::Library &&
        (options.libraryUrl || options.recursive || options.matchNames))
        throw UsageError{"options '--library', '--recursive' and '--match' go with 'library' only"};
    // check-settings prints no rows.
    if (options.trim && options.command == Command::CheckSettings)
        throw UsageError{"option '--trim' does not go with " + quoted(name)};
    if ((options.compareCommand || options.onlyDifferences) && options.command != Command::Compare)
        throw UsageError{"options '--command' and '--only-differences' go with 'compare' only"};
    if (options.outputPath)
        throw UsageError{"option '--output' goes with 'default-settings' only"};
    // A report is the rows of one command, as Save All writes them.
    if (options.reportPath && options.inputs.size() > 1)
        throw UsageError{"option '--report' takes the rows of one input, not " +
                         std::to_string(options.inputs.size())};
}

} // namespace

Options parseOptions(const std::vector<std::string>& args) {
    Options options;
    std::optional<std::string> format;
    const std::vector<std::string> positional = readArguments(args, options, format);
    if (positional.empty())
        throw UsageError{"no command given"};
    const std::string& name = positional.front();
    options.command = commandNamed(name);
    options.inputs.assign(positional.begin() + 1, positional.end());
    if (options.command != Command::CheckSettings)
        options.inputs = expandWildcards(options.inputs);
    if (format)
        options.format = formatNamed(*format);
    fitToCommand(options, name);
    return options;
}

} // namespace dravik::cli
