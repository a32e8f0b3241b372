// dravik-cli: the commands of the window's toolbar without a window, on one
// or many drive folders or loaders, for scripts and batch work. Rows go to
// standard output; the title, messages and errors to standard error.
// check-settings lists the problems of a settings file.

#include "cli/compare_command.h"
#include "cli/library_command.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/settings_lookup.h"
#include "loaders/loader.h"
#include "modules/context.h"
#include "modules/pasport.h"
#include "modules/rom_check.h"
#include "modules/specification.h"
#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "results/report.h"
#include "settings/default_settings.h"
#include "settings/settings_check.h"
#include "settings/settings_file.h"
#include "workspace/user_folder.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace dravik;
using namespace dravik::cli;

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsageError = 2;

constexpr std::string_view kProgram = "dravik-cli: ";

// A failure that ends the whole call before any input, with its line for
// standard error (UTF-8).
struct CallFailure {
    std::string line;
};

// One line on standard error, after what standard output holds so far, so
// that the two keep their order where they meet (a terminal, "2>&1"). A
// failure of standard error has nowhere to be told.
void tell(const std::string& line) {
    if (std::fflush(stdout) != 0)
        throw OutputError{errno};
    writeErrorLine(line);
}

// The last line of a call that fails anyway: standard output gets what it
// can take, and a failure there changes nothing.
void tellLast(const std::string& line) {
    std::fflush(stdout);
    writeErrorLine(line);
}

// A path given on the command line, taken from the start folder when relative.
std::string absolutePath(const std::string& path, const std::string& startFolder) {
    return resolvePath(startFolder, path);
}

// The line that tells why what label names failed.
std::string failureLine(const std::string& label, const Error& error) {
    return std::string(kProgram) + label + ": " + errorText(error);
}

class ConsoleUi : public UserInterface {
  public:
    ConsoleUi(std::string prefix, std::vector<std::string>& messages)
        : prefix_(std::move(prefix)), messages_(messages) {}

    void showMessage(const std::string& text) override {
        messages_.push_back(toUtf8(text));
        tell(prefix_ + messages_.back());
    }
    bool confirm(const std::string&) override { return true; }

  private:
    std::string prefix_;
    std::vector<std::string>& messages_;
};

// Everything the inputs of one call share.
struct Run {
    const Options& options;
    /// The current directory when the program started; relative inputs are
    /// taken from it.
    std::string startFolder;
    /// The folder whose Dravik.ini the commands read.
    std::string settingsFolder;
    Printer& printer;
};

// What a command found nothing of, when it found nothing.
std::optional<std::string> nothingFound(Command command, const ResultList& rows,
                                        const InputOutcome& outcome) {
    if (command == Command::Pasport && !outcome.title)
        return "no passport module (a .rpm file of 512 bytes marked Q8)";
    if (command == Command::CheckRom && rows.count() == 0)
        return "no ROM image (a .rpm file of 131072 bytes holding DISK)";
    if (command == Command::Specification && rows.count() == 0)
        return "no specification module (a .rpm file of 2048 bytes beginning with version)";
    return std::nullopt;
}

void runCommand(const Run& run, const std::string& input, Context& context, InputOutcome& outcome) {
    const Command command = run.options.command;
    const std::string path = absolutePath(input, run.startFolder);
    if (command == Command::CheckLdr || command == Command::RenameLdr) {
        if (!isPlainFile(path))
            throw inOutError(kErrorFileNotFound);
        if (command == Command::CheckLdr) {
            checkLdr(context, path);
            return;
        }
        const LdrRenameResult result = renameLdr(context, path);
        if (result.renamed) {
            outcome.newPath = result.newPath;
        } else if (result.alreadyNamed) {
            context.ui.showMessage(result.reason);
        } else {
            throw Error(result.reason);
        }
        return;
    }

    // The folder becomes the current directory, as browsing to it in the
    // window does; Pasport and Specification take it from there.
    if (!isFolder(path))
        throw Error("Folder not found");
    setCurrentDirectory(path);
    context.workingFolder = currentDirectory();
    if (command == Command::Pasport)
        readPasport(context);
    else if (command == Command::CheckRom)
        checkRom(context);
    else
        readSpecification(context);
}

int runInput(const Run& run, const std::string& input) {
    const Command command = run.options.command;
    const std::string prefix = std::string(kProgram) + input + ": ";
    ResultList rows;
    InputOutcome outcome;
    ConsoleUi ui(prefix, outcome.messages);
    auto setTitle = [&](const std::string& title) {
        outcome.title = toUtf8(title);
        // Specification sets its title last; without rows it names no module.
        if (command != Command::Specification || rows.count() > 0)
            tell(*outcome.title);
    };
    Context context{run.settingsFolder, run.startFolder, rows, ui, setTitle};

    run.printer.beginInput(input, rows);
    rows.setObserver(&run.printer);
    int status = kSuccess;
    try {
        runCommand(run, input, context, outcome);
        if (std::optional<std::string> note = nothingFound(command, rows, outcome))
            ui.showMessage(*note);
    } catch (const Error& error) {
        outcome.error = errorText(error);
        tell(prefix + *outcome.error);
        status = kFailure;
    } catch (const std::exception& error) {
        // Ends this input only: the next ones are still read.
        outcome.error = error.what();
        tell(prefix + *outcome.error);
        status = kFailure;
    }
    rows.setObserver(nullptr);
    run.printer.endInput(outcome);

    if (run.options.reportPath) {
        try {
            writeReport(absolutePath(*run.options.reportPath, run.startFolder), rows);
        } catch (const Error& error) {
            tell(failureLine(*run.options.reportPath, error));
            status = kFailure;
        }
    }
    return status;
}

// Where the commands read the settings: the file that --settings names, in
// place, or the folder whose Dravik.ini they read as found.
struct PreparedSettings {
    std::string folder;
};

std::string withoutSettingsText(const std::string& fileName) {
    return "; going on without settings (make the default one with "
           "'dravik-cli default-settings --output " +
           fileName + "')";
}

// The bytes of the settings file at path, labelled label; trouble says why
// there are none. The caller decides whether trouble ends the call; a file
// over the settings' capacity always does, as every command would refuse it.
std::string settingsBytes(const std::string& path, const std::string& label, std::string& trouble,
                          std::optional<Error>& failure) {
    std::string bytes;
    try {
        if (!readSettingsBytes(path, bytes))
            throw inOutError(kErrorFileNotFound);
        if (bytes.empty())
            trouble = "is empty";
    } catch (const SettingsTooLarge& error) {
        throw CallFailure{failureLine(label, error)};
    } catch (const Error& error) {
        trouble = "can't be read (" + toUtf8(error.message()) + ")";
        failure = error;
    }
    return bytes;
}

PreparedSettings settingsNamed(const std::string& name, const std::string& startFolder) {
    const std::string path = absolutePath(name, startFolder);
    // A settings file asked for by name must be there.
    if (!isPlainFile(path))
        throw CallFailure{failureLine(name, inOutError(kErrorFileNotFound))};
    std::string trouble;
    std::optional<Error> failure;
    settingsBytes(path, name, trouble, failure);
    if (failure)
        throw CallFailure{failureLine(name, *failure)};
    if (!trouble.empty())
        tell(std::string(kProgram) + name + " " + trouble + withoutSettingsText(name));
    // The commands read the file itself: a settings place that is a file.
    return {path};
}

// Dravik.ini of the start folder, else of the user's Dravik folder. Says once
// when there are none.
PreparedSettings prepareSettings(const Options& options, const std::string& startFolder) {
    if (options.settingsPath)
        return settingsNamed(*options.settingsPath, startFolder);
    const SettingsLookup lookup = lookUpSettings(startFolder, userFolder());
    if (!lookup.folder) {
        tell(std::string(kProgram) + settingsNotFoundText(lookup) +
             withoutSettingsText(std::string(SettingsFile::kFileName)));
        return {startFolder};
    }
    // "DRAVIK.INI" copied from Windows counts when there is no "Dravik.ini".
    const std::string path = settingsFilePath(*lookup.folder);
    std::string trouble;
    std::optional<Error> failure;
    settingsBytes(path, nameOf(path), trouble, failure);
    if (!trouble.empty())
        tell(std::string(kProgram) + nameOf(path) + " of " + *lookup.folder + " " + trouble +
             withoutSettingsText(nameOf(path)));
    return {*lookup.folder};
}

int writeDefaultSettings(const Options& options, StandardOutput& out,
                         const std::string& startFolder) {
    const std::string_view content = defaultSettingsContent();
    if (!options.outputPath) {
        out.write(content);
        out.flush();
        return kSuccess;
    }
    try {
        writeFileSafely(absolutePath(*options.outputPath, startFolder), content, WriteStyle::Whole);
    } catch (const Error& error) {
        tell(failureLine(*options.outputPath, error));
        return kFailure;
    }
    return kSuccess;
}

// Checks the settings file that PATH names, or the one the commands read;
// reads it only.
int checkSettingsFile(const Options& options, StandardOutput& out, const std::string& startFolder) {
    // The file the commands would read; Dravik.ini of the start folder when
    // there is none, which is then not found.
    const SettingsLookup lookup = lookUpSettings(startFolder, userFolder());
    std::string path = settingsFilePath(lookup.folder.value_or(startFolder));
    std::string label = lookup.folder == startFolder || !lookup.folder ? nameOf(path) : path;
    if (!options.inputs.empty()) {
        label = options.inputs.front();
        path = absolutePath(label, startFolder);
    }
    std::string bytes;
    try {
        if (!readSettingsBytes(path, bytes))
            throw inOutError(kErrorFileNotFound);
    } catch (const Error& error) {
        tell(failureLine(label, error));
        return kFailure;
    }
    const std::vector<SettingsProblem> problems = checkSettings(bytes);
    out.write(settingsProblemsText(label, problems, options.format));
    out.flush();
    return hasError(problems) ? kFailure : kSuccess;
}

int run(const Options& options, StandardOutput& out) {
    const std::string startFolder = currentDirectory();
    if (options.command == Command::DefaultSettings)
        return writeDefaultSettings(options, out, startFolder);
    if (options.command == Command::CheckSettings)
        return checkSettingsFile(options, out, startFolder);

    PreparedSettings settings{startFolder};
    if (readsSettings(options))
        settings = prepareSettings(options, startFolder);

    if (options.command == Command::Compare)
        return runCompare(options, out, startFolder, settings.folder);
    if (options.command == Command::Library)
        return runLibrary(options, out, startFolder, settings.folder);
    Printer printer(out, options.format, options.command, options.inputs.size(), options.trim);
    const Run run{options, startFolder, settings.folder, printer};
    int status = kSuccess;
    for (const std::string& input : options.inputs)
        status = std::max(status, runInput(run, input));
    printer.finish();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    prepareStandardStreams();
    const std::vector<std::string> args = commandLineArguments(argc, argv);
    StandardOutput out;
    int failure = kFailure;
    try {
        // "/?" is how Windows programs are asked for their help.
        if (asksFor(args, "--help", "-h") || asksFor(args, "/?")) {
            out.write(kUsage);
            out.flush();
            return kSuccess;
        }
        if (asksFor(args, "--version")) {
            out.write("dravik-cli " DRAVIK_VERSION "\n");
            out.flush();
            return kSuccess;
        }
        const Options options = parseOptions(args);
        // compare tells trouble apart from differences, as diff does.
        if (options.command == Command::Compare)
            failure = kCompareTrouble;
        return run(options, out);
    } catch (const UsageError& error) {
        tellLast(std::string(kProgram) + error.message);
        tellLast("Try 'dravik-cli --help'.");
        return kUsageError;
    } catch (const CallFailure& callFailure) {
        tellLast(callFailure.line);
        return failure;
    } catch (const OutputError& error) {
        // A reader that went away wants no more: end quietly, as a pipe's
        // writer does.
        if (error.errorNumber != EPIPE)
            tellLast(std::string(kProgram) + "write error: " + std::strerror(error.errorNumber));
        return failure;
    } catch (const Error& error) {
        tellLast(std::string(kProgram) + errorText(error));
        return failure;
    } catch (const std::exception& error) {
        tellLast(std::string(kProgram) + error.what());
        return failure;
    }
}
