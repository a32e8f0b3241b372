#pragma once

#include "cli/options.h"
#include "platform/errors.h"
#include "results/result_list.h"
#include "results/row_json.h"
#include "settings/settings_check.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravik::cli {

/// A write to standard output that failed, with the system's error number
/// (EPIPE when the reader went away).
struct OutputError {
    int errorNumber = 0;
};

/// Standard output, every write checked: a failure raises OutputError. On a
/// terminal each line goes out as it ends; into a file or a pipe the lines go
/// in blocks, until a flush.
class StandardOutput {
  public:
    /// Writes to stream, standard output unless another is given.
    explicit StandardOutput(std::FILE* stream = stdout);

    void write(std::string_view bytes);
    /// After a line: hands it to a terminal now, and leaves it in its block
    /// for a file or a pipe.
    void endLine();
    /// Hands what is buffered to the system, so that a reader sees it now.
    void flush();

  private:
    std::FILE* stream_;
    bool terminal_;
    bool console_;
};

/// Writes line and a line feed to standard error, on a Windows console in
/// wide characters. A failure there has nowhere to be told.
void writeErrorLine(const std::string& line);

/// A row with the trailing blanks of its name and its value dropped.
ResultRow trimmedRow(const ResultRow& row);

using dravik::jsonString;
using dravik::tsvField;

/// The core's message as the common error report words it, in UTF-8; a layout
/// entry that failed to convert is named after it.
std::string errorText(const Error& error);

/// The problems of the settings file at path (as given): in text a line
/// "PATH:LINE: error|warning: message" each and a last line with the counts,
/// in json an array of one object per problem. Messages become UTF-8.
std::string settingsProblemsText(std::string_view path,
                                 const std::vector<SettingsProblem>& problems, Format format);

/// What became of one input besides its rows. Texts are UTF-8, paths native.
struct InputOutcome {
    std::optional<std::string> title;
    std::vector<std::string> messages;
    std::optional<std::string> error;
    /// rename-ldr: the loader's new path, when it was renamed.
    std::optional<std::string> newPath;
};

/// Prints every input's rows in the chosen format as the ResultList appends
/// them: a terminal gets each row at once, a file or a pipe gets them in
/// blocks, and every input's output is flushed at its end.
class Printer : public ResultListObserver {
  public:
    /// With trim, names and values are printed without their trailing blanks.
    Printer(StandardOutput& out, Format format, Command command, std::size_t inputCount,
            bool trim = false);

    /// Starts the input named label (as given); rows then come from rows.
    void beginInput(const std::string& label, const ResultList& rows);
    void rowAppended(std::size_t index) override;
    void endInput(const InputOutcome& outcome);
    /// Ends the output after the last input.
    void finish();

  private:
    void writeRow(const ResultRow& row);

    StandardOutput& out_;
    Format format_;
    Command command_;
    bool severalInputs_;
    bool trim_;
    std::size_t inputsBegun_ = 0;
    std::string label_;
    const ResultList* rows_ = nullptr;
    std::size_t rowsPrinted_ = 0;
};

} // namespace dravik::cli
