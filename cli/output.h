#pragma once

#include "cli/options.h"
#include "results/result_list.h"
#include "results/row_json.h"

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

/// Standard output, every write checked: a failure raises OutputError.
class StandardOutput {
  public:
    void write(std::string_view bytes);
    /// Hands what is buffered to the system, so that a reader sees it now.
    void flush();
};

/// A text for a tsv field: backslash, tab, line feed and carriage return
/// written as \\ \t \n \r.
std::string tsvField(std::string_view text);

using dravik::jsonString;

/// What became of one input besides its rows. Texts are UTF-8, paths native.
struct InputOutcome {
    std::optional<std::string> title;
    std::vector<std::string> messages;
    std::optional<std::string> error;
    /// rename-ldr: the loader's new path, when it was renamed.
    std::optional<std::string> newPath;
};

/// Prints every input's rows in the chosen format as the ResultList appends
/// them, so that nothing waits for the end of the run.
class Printer : public ResultListObserver {
  public:
    Printer(StandardOutput& out, Format format, Command command, std::size_t inputCount);

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
    std::size_t inputsBegun_ = 0;
    std::string label_;
    const ResultList* rows_ = nullptr;
    std::size_t rowsPrinted_ = 0;
};

} // namespace dravik::cli
