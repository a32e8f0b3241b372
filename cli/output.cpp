#include "cli/output.h"

#include "platform/console.h"
#include "platform/cp1251.h"
#include "platform/process.h"
#include "results/report.h"

#include <cerrno>
#include <cstdio>

namespace dravik::cli {

StandardOutput::StandardOutput(std::FILE* stream)
    : stream_(stream), terminal_(isTerminal(stream)), console_(isConsole(stream)) {}

void StandardOutput::write(std::string_view bytes) {
    // A console shows UTF-8 bytes by its code page; its wide-character call
    // shows Cyrillic at any code page. Files and pipes get the bytes.
    if (console_) {
        if (!writeToConsole(stream_, bytes))
            throw OutputError{EIO};
        return;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size())
        throw OutputError{errno};
}

void StandardOutput::endLine() {
    if (terminal_)
        flush();
}

void StandardOutput::flush() {
    if (std::fflush(stream_) != 0)
        throw OutputError{errno};
}

void writeErrorLine(const std::string& line) {
    const std::string text = line + "\n";
    if (!isConsole(stderr) || !writeToConsole(stderr, text))
        std::fputs(text.c_str(), stderr);
}

ResultRow trimmedRow(const ResultRow& row) {
    ResultRow trimmed = row;
    trimmed.name.erase(trimmed.name.find_last_not_of(' ') + 1);
    trimmed.value.erase(trimmed.value.find_last_not_of(' ') + 1);
    return trimmed;
}

std::string errorText(const Error& error) {
    if (!error.entry())
        return toUtf8(errorReportText(error.message()));
    return toUtf8(error.message() + " in " + settingsEntryText(*error.entry()));
}

std::string settingsProblemsText(std::string_view path,
                                 const std::vector<SettingsProblem>& problems, Format format) {
    std::string text;
    if (format == Format::Json) {
        for (const SettingsProblem& problem : problems) {
            text += text.empty() ? "[\n" : ",\n";
            text += "  {\"path\": " + jsonString(path) +
                    ", \"line\": " + std::to_string(problem.line) + ", \"severity\": \"" +
                    std::string(severityName(problem.severity)) +
                    "\", \"message\": " + jsonString(toUtf8(problem.message)) + "}";
        }
        return text.empty() ? "[]\n" : text + "\n]\n";
    }
    for (const SettingsProblem& problem : problems)
        text += std::string(path) + ":" + toUtf8(problemText(problem)) + "\n";
    return text + problemCountText(problems) + "\n";
}

Printer::Printer(StandardOutput& out, Format format, Command command, std::size_t inputCount,
                 bool trim)
    : out_(out), format_(format), command_(command), severalInputs_(inputCount > 1), trim_(trim) {}

void Printer::beginInput(const std::string& label, const ResultList& rows) {
    const bool first = inputsBegun_++ == 0;
    label_ = label;
    rows_ = &rows;
    rowsPrinted_ = 0;
    switch (format_) {
    case Format::Text:
        if (severalInputs_)
            out_.write((first ? "==> " : "\n==> ") + label + " <==\n");
        break;
    case Format::Tsv:
        break;
    case Format::Json:
        out_.write(first ? "[\n" : ",\n");
        out_.write("  {\n    \"path\": " + jsonString(label) + ",\n    \"rows\": [");
        break;
    }
    out_.endLine();
}

void Printer::rowAppended(std::size_t index) {
    // A printed row can't be taken back; no command clears its list after
    // appending to it, so what is printed is what the command ends with.
    if (rows_ == nullptr)
        return;
    writeRow(trim_ ? trimmedRow(rows_->row(index)) : rows_->row(index));
    ++rowsPrinted_;
    out_.endLine();
}

void Printer::writeRow(const ResultRow& row) {
    switch (format_) {
    case Format::Text:
        out_.write(toUtf8(reportLine(row)) + "\n");
        break;
    case Format::Tsv:
        out_.write((severalInputs_ ? tsvField(label_) + "\t" : std::string()) +
                   tsvField(toUtf8(row.name)) + "\t" + tsvField(toUtf8(row.value)) + "\n");
        break;
    case Format::Json:
        out_.write((rowsPrinted_ == 0 ? "\n      " : ",\n      ") + rowJson(row));
        break;
    }
}

void Printer::endInput(const InputOutcome& outcome) {
    const auto jsonOrNull = [](const std::optional<std::string>& text) {
        return text ? jsonString(*text) : std::string("null");
    };
    switch (format_) {
    case Format::Text:
        if (outcome.newPath)
            out_.write(*outcome.newPath + "\n");
        break;
    case Format::Tsv:
        if (outcome.newPath)
            out_.write((severalInputs_ ? tsvField(label_) + "\t" : std::string()) +
                       tsvField(*outcome.newPath) + "\n");
        break;
    case Format::Json: {
        std::string text = rowsPrinted_ == 0 ? "]" : "\n    ]";
        text += ",\n    \"title\": " + jsonOrNull(outcome.title);
        text += ",\n    \"messages\": [";
        for (std::size_t i = 0; i < outcome.messages.size(); ++i)
            text += (i == 0 ? "" : ", ") + jsonString(outcome.messages[i]);
        text += "],\n    \"error\": " + jsonOrNull(outcome.error);
        if (command_ == Command::RenameLdr)
            text += ",\n    \"newPath\": " + jsonOrNull(outcome.newPath);
        out_.write(text + "\n  }");
        break;
    }
    }
    rows_ = nullptr;
    out_.flush();
}

void Printer::finish() {
    if (format_ == Format::Json && inputsBegun_ > 0)
        out_.write("\n]\n");
    out_.flush();
}

} // namespace dravik::cli
