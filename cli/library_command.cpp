#include "cli/library_command.h"

#include "cli/progress.h"
#include "library/adding.h"
#include "library/snapshot.h"
#include "platform/cp1251.h"
#include "platform/file_system.h"
#include "platform/folder_tree.h"
#include "platform/process.h"
#include "results/report.h"
#include "results/row_json.h"
#include "results/shown_text.h"
#include "settings/settings_file.h"

#include <algorithm>
#include <ctime>
#include <memory>
#include <optional>
#include <utility>

namespace dravik::cli {
namespace {

using namespace dravik::library;

enum class Action { Add, List, Show, Remove, Find, Donors };

struct ActionName {
    std::string_view name;
    Action action;
};

constexpr ActionName kActions[] = {
    {"add", Action::Add},       {"list", Action::List}, {"show", Action::Show},
    {"remove", Action::Remove}, {"find", Action::Find}, {"donors", Action::Donors},
};

constexpr std::string_view kActionList = "add, list, show, remove, find or donors";
constexpr std::size_t kDonorLimit = 20;

// The columns of a donor's match rows: the mark, the name, the bench
// drive's value and the donor's.
constexpr std::size_t kMatchNameWidth = 22;
constexpr std::size_t kMatchValueWidth = 26;
// The widest a cell of the list grows; a longer text is cut.
constexpr std::size_t kListCellWidth = 24;

std::optional<Action> actionNamed(std::string_view name) {
    for (const ActionName& each : kActions) {
        if (each.name == name)
            return each.action;
    }
    return std::nullopt;
}

Action actionOf(const Options& options) {
    return actionNamed(options.libraryAction).value_or(Action::List);
}

std::string quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

// A line on standard error, after what standard output holds.
void tell(StandardOutput& out, const std::string& line) {
    out.flush();
    writeErrorLine("dravik-cli: " + line);
}

std::string withoutTrailingBlanks(std::string_view text) {
    return std::string(text.substr(0, text.find_last_not_of(' ') + 1));
}

// A Windows-1251 text for tsv and json, in UTF-8: as it is, or with "--trim"
// without its trailing blanks.
std::string exported(std::string_view cp1251, bool trim) {
    return toUtf8(trim ? withoutTrailingBlanks(cp1251) : std::string(cp1251));
}

// A Windows-1251 text for a cell of a text table: on one line, without the
// blanks at either end.
std::string cellText(std::string_view cp1251) {
    const std::string shown = shownText(cp1251);
    return toUtf8(shown.substr(std::min(shown.find_first_not_of(' '), shown.size())));
}

std::string timeText(std::int64_t seconds, bool local) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    const std::tm* parts = local ? std::localtime(&time) : std::gmtime(&time);
    char text[32] = {};
    if (parts == nullptr ||
        std::strftime(text, sizeof text, local ? "%Y-%m-%d %H:%M" : "%Y-%m-%dT%H:%M:%SZ", parts) == 0)
        return std::to_string(seconds);
    return text;
}

// How many characters a UTF-8 text shows: its bytes but the continuing ones.
std::size_t characters(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// utf8 cut to width characters, visibly ("…" last), and padded with blanks
// to width when pad.
std::string fitted(std::string_view utf8, std::size_t width, bool pad) {
    std::string text(utf8);
    if (characters(text) > width) {
        std::size_t end = 0;
        for (std::size_t kept = 0; kept < width - 1; ++kept) {
            ++end;
            while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
                ++end;
        }
        text = text.substr(0, end) + "\u2026";
    }
    if (pad)
        text.append(width - std::min(width, characters(text)), ' ');
    return text;
}

// Lines of cells in columns two blanks apart, each as wide as its widest cell
// up to kListCellWidth; a line ends without blanks.
std::string tableText(const std::vector<std::vector<std::string>>& lines) {
    std::vector<std::size_t> widths;
    for (const std::vector<std::string>& line : lines) {
        widths.resize(std::max(widths.size(), line.size()));
        for (std::size_t i = 0; i < line.size(); ++i)
            widths[i] = std::max(widths[i], std::min(characters(line[i]), kListCellWidth));
    }
    std::string text;
    for (const std::vector<std::string>& line : lines) {
        std::string shown;
        for (std::size_t i = 0; i < line.size(); ++i)
            shown += fitted(line[i], widths[i], true) + "  ";
        text += withoutTrailingBlanks(shown) + "\n";
    }
    return text;
}

// The fields of a drive's summary in a json object, without the braces.
std::string driveFields(const DriveSummary& drive, bool trim) {
    return "\"id\": " + std::to_string(drive.id) + ", \"label\": " + jsonString(drive.label) +
           ", \"path\": " + jsonString(drive.path) +
           ", \"family\": " + jsonString(exported(drive.family, trim)) +
           ", \"firmwareCode\": " + jsonString(exported(drive.firmwareCode, trim)) +
           ", \"serial\": " + jsonString(exported(drive.serial, trim)) +
           ", \"board\": " + jsonString(exported(drive.board, trim)) + ", \"added\": \"" +
           timeText(drive.added, false) + "\", \"updated\": \"" + timeText(drive.updated, false) +
           "\"";
}

// A stored row as the commands' rows are: its source file under the drive's folder.
ResultRow resultRow(const StoredRow& stored, const std::string& drivePath, bool trim) {
    ResultRow row{stored.name, stored.value};
    if (stored.source) {
        RowSource source;
        source.file = std::make_shared<const SourceFile>(
            SourceFile{joinPath(drivePath, stored.source->file), std::nullopt});
        source.offset = stored.source->offset;
        source.bytes = stored.source->bytes;
        source.part = stored.source->entry;
        row.source = std::move(source);
    }
    return trim ? trimmedRow(row) : row;
}

std::string storedRowJson(const StoredRow& stored, const std::string& drivePath, bool trim) {
    return "{\"block\": \"" + std::string(blockName(stored.block)) +
           "\", \"loader\": " + (stored.loader.empty() ? "null" : jsonString(stored.loader)) +
           ", " + rowJson(resultRow(stored, drivePath, trim)).substr(1);
}

// A row as the commands print it in text: the name padded to 25 characters.
std::string rowLine(const ResultRow& row) {
    return toUtf8(reportLine(row)) + "\n";
}

// The records of an action in tsv or json (an array of objects) as they
// come; text passes through as it is.
class Records {
  public:
    Records(StandardOutput& out, Format format) : out_(out), format_(format) {}

    void add(const std::string& record) {
        if (format_ == Format::Json)
            out_.write(count_ == 0 ? "[\n  " : ",\n  ");
        out_.write(record);
        ++count_;
        out_.endLine();
    }

    void finish() {
        if (format_ == Format::Json)
            out_.write(count_ == 0 ? "[]\n" : "\n]\n");
        out_.flush();
    }

    std::size_t count() const { return count_; }

  private:
    StandardOutput& out_;
    Format format_;
    std::size_t count_ = 0;
};

// What one call of an action works with.
struct LibraryRun {
    const Options& options;
    StandardOutput& out;
    std::string startFolder;
    std::string settingsFolder;
    Store& store;

    Format format() const { return options.format; }
    bool trim() const { return options.trim; }
};

// The drive that text names, with the path of a folder taken from the start
// folder; nothing, said on standard error, when no one drive is named.
std::optional<DriveSummary> namedDrive(const LibraryRun& run, const std::string& text) {
    DriveRef ref = DriveRef::parse(text);
    if (ref.kind == DriveRef::Kind::Path)
        ref.text = storedPath(resolvePath(run.startFolder, ref.text));
    std::vector<DriveSummary> drives = run.store.lookUp(ref);
    if (drives.size() == 1)
        return drives.front();
    try {
        return resolveOne(run.store, ref);
    } catch (const LibraryError& error) {
        tell(run.out, errorReportText(error.message()));
    }
    return std::nullopt;
}

// Why text names no folder; nothing when it names one.
std::optional<std::string> notAFolder(const LibraryRun& run, const std::string& text) {
    const std::string path = resolvePath(run.startFolder, text);
    if (isFolder(path))
        return std::nullopt;
    return text + ": " + (pathExists(path) ? "A file, not a drive folder." : "Folder not found.");
}

std::string holdsNoFilesText(const std::string& text) {
    return text + ": No .rpm or .ldr file that can be read; nothing done.";
}

// ---- add

constexpr std::string_view kAddStatusNames[] = {"added", "replaced", "unchanged", "failed"};

// The drive folders that the inputs name: each FOLDER, or with "--recursive"
// the folders below it that hold drive files. What is no drive folder or
// can't be read goes into failures, with its path and its line, told.
std::vector<std::string> foldersToAdd(const LibraryRun& run,
                                      std::vector<std::pair<std::string, std::string>>& failures) {
    std::vector<std::string> folders;
    const auto fail = [&](const std::string& path, const std::string& line) {
        tell(run.out, line);
        failures.emplace_back(path, line);
    };
    for (const std::string& input : run.options.inputs) {
        const std::string path = resolvePath(run.startFolder, input);
        if (std::optional<std::string> why = notAFolder(run, input)) {
            fail(path, *why);
            continue;
        }
        const std::string folder = absoluteFolder(path);
        if (!run.options.recursive) {
            folders.push_back(folder);
            continue;
        }
        const FolderTree tree = foldersHolding(folder, {".rpm", ".ldr"});
        for (const UnreadableFolder& unreadable : tree.unreadable)
            fail(unreadable.path, unreadable.path + ": " + errorReportText(unreadable.reason));
        if (tree.holding.empty() && tree.unreadable.empty())
            fail(folder, input + ": No drive folder (one that holds .rpm or .ldr files) below it.");
        folders.insert(folders.end(), tree.holding.begin(), tree.holding.end());
    }
    return folders;
}

// A failed folder's line: its error, or that it holds no drive file.
std::string failureLine(const std::string& folder, const AddOutcome& outcome) {
    return outcome.error ? folder + ": " + errorText(*outcome.error) : holdsNoFilesText(folder);
}

std::string addRecord(Format format, const std::string& folder, const AddOutcome& outcome,
                      const std::optional<std::string>& line) {
    const std::string_view status = kAddStatusNames[static_cast<int>(outcome.status)];
    const std::string id = outcome.id == 0 ? std::string() : std::to_string(outcome.id);
    if (format == Format::Tsv)
        return std::string(status) + "\t" + id + "\t" + tsvField(folder) + "\n";
    return "{\"status\": \"" + std::string(status) + "\", \"id\": " + (id.empty() ? "null" : id) +
           ", \"path\": " + jsonString(folder) + ", \"error\": " + (line ? jsonString(*line) : "null") +
           "}";
}

int addFolders(const LibraryRun& run) {
    Records records(run.out, run.format());
    std::vector<std::pair<std::string, std::string>> failures;
    const std::vector<std::string> folders = foldersToAdd(run, failures);
    std::size_t counts[4] = {0, 0, 0, failures.size()};
    for (const auto& [path, line] : failures) {
        if (run.format() != Format::Text)
            records.add(addRecord(run.format(), path, AddOutcome{}, line));
    }
    const SettingsFile settings = SettingsFile::loadFrom(run.settingsFolder);
    // Records on a terminal tell how far it has come themselves.
    ProgressLine progress(stderr, folders.size() > 1 && isTerminal(stderr) &&
                                      (run.format() == Format::Text || !isTerminal(stdout)));
    AddHooks hooks;
    // The id only goes into tsv and json: text saves the look-up.
    hooks.unchangedIds = run.format() != Format::Text;
    hooks.starting = [&](std::size_t index) { progress.show(index, folders.size()); };
    hooks.told = [&](std::size_t index, const AddOutcome& outcome) {
        std::optional<std::string> line;
        if (outcome.status == AddStatus::Failed) {
            line = failureLine(folders[index], outcome);
            progress.clear();
            tell(run.out, *line);
        }
        ++counts[static_cast<int>(outcome.status)];
        if (run.format() != Format::Text)
            records.add(addRecord(run.format(), folders[index], outcome, line));
    };
    try {
        addDriveFolders(run.store, folders, settings, hooks);
    } catch (const LibraryError&) {
        // A failing library ends the run: what was told stays a whole record.
        progress.clear();
        records.finish();
        throw;
    }
    progress.clear();
    const std::size_t total = counts[0] + counts[1] + counts[2] + counts[3];
    if (run.format() == Format::Text)
        run.out.write(std::to_string(total) + (total == 1 ? " drive folder: " : " drive folders: ") +
                      std::to_string(counts[0]) + " added, " + std::to_string(counts[1]) +
                      " replaced, " + std::to_string(counts[2]) + " unchanged, " +
                      std::to_string(counts[3]) + " failed, in " + run.store.name() + "\n");
    records.finish();
    return counts[3] > 0 ? kLibraryNothing : kLibraryDone;
}

// ---- list

int listDrives(const LibraryRun& run) {
    const std::vector<DriveSummary> drives = run.store.list();
    Records records(run.out, run.format());
    std::vector<std::vector<std::string>> table = {
        {"ID", "LABEL", "FAMILY", "CODE FW", "SERIAL", "BOARD", "UPDATED"}};
    for (const DriveSummary& drive : drives) {
        const bool trim = run.trim();
        switch (run.format()) {
        case Format::Text:
            table.push_back({std::to_string(drive.id), drive.label, cellText(drive.family),
                             cellText(drive.firmwareCode), cellText(drive.serial),
                             cellText(drive.board), timeText(drive.updated, true)});
            break;
        case Format::Tsv:
            records.add(std::to_string(drive.id) + "\t" + tsvField(drive.label) + "\t" +
                        tsvField(exported(drive.family, trim)) + "\t" +
                        tsvField(exported(drive.firmwareCode, trim)) + "\t" +
                        tsvField(exported(drive.serial, trim)) + "\t" +
                        tsvField(exported(drive.board, trim)) + "\t" +
                        timeText(drive.updated, false) + "\t" + tsvField(drive.path) + "\n");
            break;
        case Format::Json:
            records.add("{" + driveFields(drive, trim) + "}");
            break;
        }
    }
    if (run.format() == Format::Text && !drives.empty())
        run.out.write(tableText(table));
    records.finish();
    if (!drives.empty())
        return kLibraryDone;
    tell(run.out, "The library " + run.store.name() + " holds no drive.");
    return kLibraryNothing;
}

// ---- show

std::string driveLine(std::string_view name, const std::string& utf8) {
    return toUtf8(reportLine(ResultRow{std::string(name), {}})) + utf8 + "\n";
}

// The heading of a block of rows in text: "==> pasport <==", "==> check-ldr NAME <==".
std::string blockHeading(const StoredRow& row) {
    return "\n==> " + std::string(blockName(row.block)) +
           (row.loader.empty() ? "" : " " + row.loader) + " <==\n";
}

std::string driveText(const Drive& drive, bool trim) {
    const DriveSummary& summary = drive.summary;
    std::string text = "==> drive <==\n" + driveLine("Id", std::to_string(summary.id)) +
                       driveLine("Label", summary.label) + driveLine("Path", summary.path) +
                       driveLine("Added", timeText(summary.added, true)) +
                       driveLine("Updated", timeText(summary.updated, true));
    const StoredRow* previous = nullptr;
    for (const StoredRow& row : drive.rows) {
        if (!previous || previous->block != row.block || previous->loader != row.loader)
            text += blockHeading(row);
        text += rowLine(resultRow(row, summary.path, trim));
        previous = &row;
    }
    return text;
}

std::string driveJson(const Drive& drive, bool trim) {
    std::string json = "{" + driveFields(drive.summary, trim) + ",\n  \"files\": [";
    for (std::size_t i = 0; i < drive.files.size(); ++i) {
        const StoredFile& file = drive.files[i];
        json += (i == 0 ? "\n    " : ",\n    ") + std::string("{\"name\": ") +
                jsonString(file.name) + ", \"size\": " + std::to_string(file.size) +
                ", \"modified\": " + std::to_string(file.modified) +
                ", \"sha256\": " + jsonString(file.sha256) + "}";
    }
    json += drive.files.empty() ? "],\n  \"rows\": [" : "\n  ],\n  \"rows\": [";
    for (std::size_t i = 0; i < drive.rows.size(); ++i)
        json += (i == 0 ? "\n    " : ",\n    ") + storedRowJson(drive.rows[i], drive.summary.path, trim);
    return json + (drive.rows.empty() ? "]}\n" : "\n  ]}\n");
}

int showDrive(const LibraryRun& run) {
    const std::optional<DriveSummary> named = namedDrive(run, run.options.inputs.front());
    const std::optional<Drive> drive = named ? run.store.drive(named->id) : std::nullopt;
    if (!drive)
        return kLibraryNothing;
    switch (run.format()) {
    case Format::Text:
        run.out.write(driveText(*drive, run.trim()));
        break;
    case Format::Tsv:
        for (const StoredRow& row : drive->rows) {
            const ResultRow shown = resultRow(row, drive->summary.path, run.trim());
            run.out.write(std::string(blockName(row.block)) + "\t" + tsvField(row.loader) + "\t" +
                          tsvField(toUtf8(shown.name)) + "\t" + tsvField(toUtf8(shown.value)) + "\n");
        }
        break;
    case Format::Json:
        run.out.write(driveJson(*drive, run.trim()));
        break;
    }
    run.out.flush();
    return kLibraryDone;
}

// ---- remove

int removeDrives(const LibraryRun& run) {
    Records records(run.out, run.format());
    int status = kLibraryDone;
    for (const std::string& text : run.options.inputs) {
        const std::optional<DriveSummary> drive = namedDrive(run, text);
        if (!drive || !run.store.remove(drive->id)) {
            status = kLibraryNothing;
            continue;
        }
        const std::string id = std::to_string(drive->id);
        switch (run.format()) {
        case Format::Text:
            records.add("Removed drive " + id + " " + drive->label + ": " + drive->path + "\n");
            break;
        case Format::Tsv:
            records.add("removed\t" + id + "\t" + tsvField(drive->path) + "\n");
            break;
        case Format::Json:
            records.add("{\"status\": \"removed\", \"id\": " + id +
                        ", \"path\": " + jsonString(drive->path) + ", \"error\": null}");
            break;
        }
    }
    records.finish();
    return status;
}

// ---- find

std::vector<FindTerm> findTerms(const std::vector<std::string>& texts) {
    std::vector<FindTerm> terms;
    for (const std::string& text : texts) {
        FindTerm term = FindTerm::parse(text);
        term.name = fromUtf8(term.name);
        term.text = fromUtf8(term.text);
        terms.push_back(std::move(term));
    }
    return terms;
}

int findDrives(const LibraryRun& run) {
    const std::vector<FoundDrive> found = run.store.find(findTerms(run.options.inputs));
    Records records(run.out, run.format());
    for (const FoundDrive& drive : found) {
        const DriveSummary& summary = drive.drive;
        std::string record;
        if (run.format() == Format::Text)
            record = (records.count() == 0 ? "==> " : "\n==> ") + std::to_string(summary.id) + " " +
                     summary.label + " " + summary.path + " <==\n";
        else if (run.format() == Format::Json)
            record = "{" + driveFields(summary, run.trim()) + ", \"rows\": [";
        for (std::size_t i = 0; i < drive.rows.size(); ++i) {
            const ResultRow row = resultRow(drive.rows[i], summary.path, run.trim());
            if (run.format() == Format::Text)
                record += rowLine(row);
            else if (run.format() == Format::Tsv)
                record += std::to_string(summary.id) + "\t" + tsvField(summary.label) + "\t" +
                          tsvField(summary.path) + "\t" + tsvField(toUtf8(row.name)) + "\t" +
                          tsvField(toUtf8(row.value)) + "\n";
            else
                record += (i == 0 ? "" : ", ") + storedRowJson(drive.rows[i], summary.path, run.trim());
        }
        records.add(run.format() == Format::Json ? record + "]}" : record);
    }
    records.finish();
    if (!found.empty())
        return kLibraryDone;
    tell(run.out, "No drive of the library " + run.store.name() + " matches.");
    return kLibraryNothing;
}

// ---- donors

// A match row in text: the mark, the name, the bench drive's value and the
// donor's, each in its column; the line ends without blanks.
std::string matchLine(const DonorRow& row) {
    return withoutTrailingBlanks(std::string(1, row.agrees ? '=' : '!') + " " +
                                 fitted(cellText(row.name), kMatchNameWidth, true) + " " +
                                 fitted(cellText(row.benchValue), kMatchValueWidth, true) + " " +
                                 fitted(cellText(row.donorValue), kMatchValueWidth, false)) +
           "\n";
}

std::string donorRecord(const Donor& donor, std::size_t rank, Format format, bool trim) {
    const DriveSummary& drive = donor.drive;
    const std::string agreeing =
        std::to_string(donor.agreeing) + " of " + std::to_string(donor.rows.size()) + " agree";
    std::string record;
    if (format == Format::Text)
        record = (rank == 1 ? "#" : "\n#") + std::to_string(rank) + "  " + drive.label + "  " +
                 agreeing + "  " + drive.path + "\n";
    else if (format == Format::Json)
        record = "{\"rank\": " + std::to_string(rank) + ", " + driveFields(drive, trim) +
                 ", \"agreeing\": " + std::to_string(donor.agreeing) +
                 ", \"total\": " + std::to_string(donor.rows.size()) + ", \"rows\": [";
    for (std::size_t i = 0; i < donor.rows.size(); ++i) {
        const DonorRow& row = donor.rows[i];
        const std::string mark = row.agrees ? "=" : "!";
        if (format == Format::Text)
            record += matchLine(row);
        else if (format == Format::Tsv)
            record += std::to_string(rank) + "\t" + std::to_string(drive.id) + "\t" +
                      tsvField(drive.label) + "\t" + tsvField(drive.path) + "\t" + mark + "\t" +
                      tsvField(exported(row.name, trim)) + "\t" +
                      tsvField(exported(row.benchValue, trim)) + "\t" +
                      tsvField(exported(row.donorValue, trim)) + "\n";
        else
            record += (i == 0 ? "{\"mark\": \"" : ", {\"mark\": \"") + mark +
                      "\", \"name\": " + jsonString(exported(row.name, trim)) +
                      ", \"bench\": " + jsonString(exported(row.benchValue, trim)) +
                      ", \"donor\": " + jsonString(exported(row.donorValue, trim)) + "}";
    }
    return format == Format::Json ? record + "]}" : record;
}

int rankDonors(const LibraryRun& run) {
    const std::string& input = run.options.inputs.front();
    if (std::optional<std::string> why = notAFolder(run, input)) {
        tell(run.out, *why);
        return kLibraryNothing;
    }
    const Snapshot bench = snapshotFolder(resolvePath(run.startFolder, input),
                                          SettingsFile::loadFrom(run.settingsFolder));
    if (bench.files.empty()) {
        tell(run.out, holdsNoFilesText(input));
        return kLibraryNothing;
    }
    const std::vector<Donor> donors = run.store.donors(bench, matchNames(run.options), kDonorLimit);
    Records records(run.out, run.format());
    for (std::size_t i = 0; i < donors.size(); ++i)
        records.add(donorRecord(donors[i], i + 1, run.format(), run.trim()));
    records.finish();
    if (!donors.empty())
        return kLibraryDone;
    tell(run.out, input + ": No donor in the library " + run.store.name() + ".");
    return kLibraryNothing;
}

} // namespace

void checkLibraryOptions(Options& options) {
    if (options.inputs.empty())
        throw UsageError{"'library' needs an action: " + std::string(kActionList)};
    options.libraryAction = options.inputs.front();
    options.inputs.erase(options.inputs.begin());
    const std::optional<Action> action = actionNamed(options.libraryAction);
    if (!action)
        throw UsageError{"unknown library action " + quoted(options.libraryAction) + " (" +
                         std::string(kActionList) + ")"};
    const std::string name = quoted("library " + options.libraryAction);
    const std::size_t count = options.inputs.size();
    switch (*action) {
    case Action::Add:
    case Action::Remove:
    case Action::Find:
        if (count == 0)
            throw UsageError{name + " needs " +
                             (*action == Action::Add      ? "a FOLDER"
                              : *action == Action::Remove ? "a DRIVE"
                                                          : "a NAME=VALUE or NAME~TEXT")};
        break;
    case Action::List:
        if (count != 0)
            throw UsageError{name + " takes no argument"};
        break;
    case Action::Show:
        if (count != 1)
            throw UsageError{name + " takes one DRIVE, not " + std::to_string(count)};
        break;
    case Action::Donors:
        if (count > 1)
            throw UsageError{name + " takes one FOLDER, not " + std::to_string(count)};
        if (count == 0)
            options.inputs.push_back(".");
        break;
    }
    if (*action == Action::Find) {
        try {
            findTerms(options.inputs);
        } catch (const LibraryError& error) {
            throw UsageError{error.message()};
        }
    }
    if (options.reportPath)
        throw UsageError{"option '--report' does not go with 'library'"};
    if (options.recursive && *action != Action::Add)
        throw UsageError{"option '--recursive' goes with 'library add' only"};
    if (options.matchNames && *action != Action::Donors)
        throw UsageError{"option '--match' goes with 'library donors' only"};
    if (options.settingsPath && !libraryDecodes(options))
        throw UsageError{"option '--settings' does not go with " + name};
    if (options.trim && (*action == Action::Add || *action == Action::Remove))
        throw UsageError{"option '--trim' does not go with " + name};
    if (options.matchNames && matchNames(options).empty())
        throw UsageError{"option '--match' needs a NAME"};
}

bool libraryDecodes(const Options& options) {
    return options.command == Command::Library &&
           (actionOf(options) == Action::Add || actionOf(options) == Action::Donors);
}

std::string libraryUrl(const Options& options) {
    return chosenLibraryUrl(options.libraryUrl);
}

std::vector<std::string> matchNames(const Options& options) {
    if (!options.matchNames)
        return defaultMatchNames();
    std::vector<std::string> names;
    const std::string& list = *options.matchNames;
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        const std::string name = list.substr(start, end - start);
        const std::size_t first = name.find_first_not_of(' ');
        if (first != std::string::npos)
            names.push_back(fromUtf8(withoutTrailingBlanks(name.substr(first))));
        start = end + 1;
    }
    return names;
}

int runLibrary(const Options& options, StandardOutput& out, const std::string& startFolder,
               const std::string& settingsFolder) {
    try {
        const std::unique_ptr<Store> store = openStore(libraryUrl(options));
        const LibraryRun run{options, out, startFolder, settingsFolder, *store};
        switch (actionOf(options)) {
        case Action::Add:
            return addFolders(run);
        case Action::List:
            return listDrives(run);
        case Action::Show:
            return showDrive(run);
        case Action::Remove:
            return removeDrives(run);
        case Action::Find:
            return findDrives(run);
        case Action::Donors:
            return rankDonors(run);
        }
    } catch (const LibraryError& error) {
        tell(out, errorReportText(error.message()));
    }
    return kLibraryTrouble;
}

} // namespace dravik::cli
