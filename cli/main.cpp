// dravik-cli: the commands of the window's toolbar for one folder or loader,
// for scripts and batch work. Rows go to standard output; the title and the
// command's messages to standard error.

#include "loaders/loader.h"
#include "modules/context.h"
#include "modules/pasport.h"
#include "modules/rom_check.h"
#include "modules/specification.h"
#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "results/report.h"
#include "settings/default_settings.h"

#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace dravik;

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsageError = 2;

constexpr const char* kUsage =
    R"(Usage: dravik-cli COMMAND [ARGUMENT] [--report PATH]

Runs one command of Dravik without a window. Dravik.ini is read from the
current directory.

Commands:
  pasport [FOLDER]        the drive's passport from the .rpm files of FOLDER
  check-rom [FOLDER]      every ROM image (.rpm of 131072 bytes) of FOLDER
  specification [FOLDER]  the firmware's specification table of FOLDER
  check-ldr FILE          the checksums, firmware code, family and status of a loader
  rename-ldr FILE         renames a loader after its ROM checksum and firmware code
  default-settings        writes the default content of Dravik.ini to standard output

FOLDER defaults to the current directory. Rows are printed one a line as
"Name:Value", the Name padded to 25 characters.

Options:
  --report PATH  also write the rows to PATH as Save All writes $Dravik.txt
                 (Windows-1251, CR LF), also when the command ends with an error
  --help         show this text

Exit status: 0 success, 1 the command ended with an error, 2 usage error.
)";

enum class Command { Pasport, CheckRom, Specification, CheckLdr, RenameLdr, DefaultSettings };

struct Invocation {
    Command command{};
    std::optional<std::string> argument;
    std::optional<std::string> reportPath;
};

class ConsoleUi : public UserInterface {
public:
    void showMessage(const std::string& text) override { std::cerr << toUtf8(text) << '\n'; }
    bool confirm(const std::string&) override { return true; }
};

struct UsageError {
    std::string message;
};

std::optional<Command> commandNamed(const std::string& name) {
    if (name == "pasport")
        return Command::Pasport;
    if (name == "check-rom")
        return Command::CheckRom;
    if (name == "specification")
        return Command::Specification;
    if (name == "check-ldr")
        return Command::CheckLdr;
    if (name == "rename-ldr")
        return Command::RenameLdr;
    if (name == "default-settings")
        return Command::DefaultSettings;
    return std::nullopt;
}

Invocation parseArguments(const std::vector<std::string>& args) {
    Invocation invocation;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--report") {
            if (i + 1 >= args.size())
                throw UsageError{"--report needs a PATH"};
            invocation.reportPath = args[++i];
        } else if (!optionsEnded && arg.starts_with("--report=")) {
            invocation.reportPath = arg.substr(9);
        } else if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
            throw UsageError{"unknown option " + arg};
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.empty())
        throw UsageError{"no command given"};
    auto command = commandNamed(positional[0]);
    if (!command)
        throw UsageError{"unknown command " + positional[0]};
    invocation.command = *command;
    if (invocation.reportPath && invocation.reportPath->empty())
        throw UsageError{"--report needs a PATH"};

    const bool needsFile = *command == Command::CheckLdr || *command == Command::RenameLdr;
    const std::size_t maxArguments = *command == Command::DefaultSettings ? 0 : 1;
    if (positional.size() - 1 > maxArguments)
        throw UsageError{"too many arguments for " + positional[0]};
    if (positional.size() == 2)
        invocation.argument = positional[1];
    if (needsFile && !invocation.argument)
        throw UsageError{positional[0] + " needs a FILE"};
    if (*command == Command::DefaultSettings && invocation.reportPath)
        throw UsageError{"default-settings writes no report"};
    return invocation;
}

// A path given on the command line, taken from the current directory when relative.
std::string absolutePath(const std::string& path, const std::string& currentFolder) {
    return path.starts_with('/') ? path : joinPath(currentFolder, path);
}

void printRows(const ResultList& rows) {
    for (const ResultRow& row : rows.rows())
        std::cout << toUtf8(reportLine(row)) << '\n';
    std::cout.flush();
}

int run(const Invocation& invocation) {
    if (invocation.command == Command::DefaultSettings) {
        std::string_view content = defaultSettingsContent();
        std::fwrite(content.data(), 1, content.size(), stdout);
        return std::fflush(stdout) == 0 ? kSuccess : kFailure;
    }

    const std::string startFolder = currentDirectory();
    ResultList rows;
    ConsoleUi ui;
    Context context{startFolder, startFolder, rows, ui,
                    [](const std::string& title) { std::cerr << toUtf8(title) << '\n'; }};
    std::optional<std::string> reportPath;
    if (invocation.reportPath)
        reportPath = absolutePath(*invocation.reportPath, startFolder);

    int status = kSuccess;
    try {
        switch (invocation.command) {
        case Command::Pasport:
        case Command::CheckRom:
        case Command::Specification: {
            // The folder becomes the current directory, as browsing to it in the
            // window does; Pasport and Specification take it from there.
            std::string folder = absolutePath(invocation.argument.value_or("."), startFolder);
            if (!isFolder(folder)) {
                std::cerr << "Folder not found: \"" << folder << "\"\n";
                return kFailure;
            }
            setCurrentDirectory(folder);
            context.workingFolder = currentDirectory();
            if (invocation.command == Command::Pasport)
                readPasport(context);
            else if (invocation.command == Command::CheckRom)
                checkRom(context);
            else
                readSpecification(context);
            break;
        }
        case Command::CheckLdr:
        case Command::RenameLdr: {
            std::string file = absolutePath(*invocation.argument, startFolder);
            if (!isPlainFile(file)) {
                std::cerr << "File not found: \"" << *invocation.argument << "\"\n";
                return kFailure;
            }
            if (invocation.command == Command::CheckLdr) {
                checkLdr(context, file);
            } else {
                LdrRenameResult result = renameLdr(context, file);
                if (result.renamed) {
                    std::cout << result.newPath << '\n';
                } else {
                    std::cerr << toUtf8(result.reason) << '\n';
                    status = kFailure;
                }
            }
            break;
        }
        case Command::DefaultSettings:
            break;
        }
    } catch (const Error& error) {
        std::cerr << toUtf8(errorReportText(error.message())) << '\n';
        status = kFailure;
    }

    printRows(rows);
    if (reportPath) {
        try {
            writeReport(*reportPath, rows);
        } catch (const Error& error) {
            std::cerr << toUtf8(errorReportText(error.message())) << '\n';
            status = kFailure;
        }
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return kSuccess;
        }
        if (arg == "--")
            break;
    }
    try {
        return run(parseArguments(args));
    } catch (const UsageError& error) {
        std::cerr << "dravik-cli: " << error.message << "\n\n" << kUsage;
        return kUsageError;
    } catch (const std::exception& error) {
        std::cerr << "dravik-cli: " << error.what() << '\n';
        return kFailure;
    }
}
