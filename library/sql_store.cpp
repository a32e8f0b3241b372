#include "library/sql_store.h"

#include "library/keys.h"
#include "library/schema.h"
#include "platform/file_system.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <set>
#include <span>
#include <utility>

namespace dravik::library {
namespace {

// Rows and files go in with one statement per chunk; a chunk stays under the
// 999 parameters that older SQLite libraries allow.
constexpr std::size_t kParameterLimit = 990;

constexpr std::string_view kSummaryColumns =
    "d.id, d.path, d.label, d.family, d.firmware_code, d.serial, d.board, d.added, d.updated";
constexpr std::size_t kSummaryWidth = 9;

// A row with its texts spelled out, after kSummaryColumns where a query
// gives both.
constexpr std::string_view kRowColumns =
    "r.block, l.spelling, n.spelling, r.value, f.spelling, r.source_offset, r.source_bytes,"
    " e.spelling";
constexpr std::string_view kRowJoins =
    " JOIN phrase n ON n.id = r.name_id LEFT JOIN phrase l ON l.id = r.loader_id"
    " LEFT JOIN phrase f ON f.id = r.source_file_id LEFT JOIN phrase e ON e.id = r.source_entry_id";

template <class... Parts> std::string joined(const Parts&... parts) {
    std::string text;
    (text.append(std::string_view(parts)), ...);
    return text;
}

// "(?, ?, ...), ..." for count rows of width parameters.
std::string placeholders(std::size_t count, std::size_t width) {
    std::string one = "(";
    for (std::size_t i = 0; i < width; ++i)
        one += i == 0 ? "?" : ", ?";
    one += ")";
    std::string all;
    for (std::size_t i = 0; i < count; ++i)
        all += (i == 0 ? "" : ", ") + one;
    return all;
}

// How many ids a statement takes beside others parameters of its own.
std::size_t idsPerStatement(std::size_t others) {
    constexpr std::size_t kFewest = 100;
    return others + kFewest < kParameterLimit ? kParameterLimit - others : kFewest;
}

DriveSummary summaryOf(const SqlRow& row, std::size_t at = 0) {
    return {intOf(row[at]),         bytesOf(row[at + 1]), bytesOf(row[at + 2]),
            bytesOf(row[at + 3]),   bytesOf(row[at + 4]), bytesOf(row[at + 5]),
            bytesOf(row[at + 6]),   intOf(row[at + 7]),   intOf(row[at + 8])};
}

StoredRow storedRowOf(const SqlRow& row, std::size_t at) {
    StoredRow stored;
    stored.block = static_cast<Block>(intOf(row[at]));
    stored.loader = bytesOf(row[at + 1]);
    stored.name = bytesOf(row[at + 2]);
    stored.value = bytesOf(row[at + 3]);
    if (!std::holds_alternative<std::nullptr_t>(row[at + 4]))
        stored.source = StoredSource{bytesOf(row[at + 4]), intOf(row[at + 5]), bytesOf(row[at + 6]),
                                     bytesOf(row[at + 7])};
    return stored;
}

std::int64_t secondsNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The first value of each of names among rows, by their trimmed names.
std::vector<std::string> firstValues(const std::vector<StoredRow>& rows,
                                     const std::vector<std::string>& names) {
    std::vector<std::string> values;
    for (const std::string& name : names) {
        const std::string key = trimmedKey(name);
        const auto row = std::find_if(rows.begin(), rows.end(),
                                      [&](const StoredRow& r) { return trimmedKey(r.name) == key; });
        values.push_back(row == rows.end() ? std::string() : row->value);
    }
    return values;
}

// A row whose value is the next parameter, trimmed, read through the index
// of values by its folded form (the parameter before).
constexpr std::string_view kExactValue = "r.value_fold = ? AND r.value_key = ?";

} // namespace

SqlStore::SqlStore(std::unique_ptr<Connection> connection) : connection_(std::move(connection)) {
    upgradeSchema(*connection_);
}

std::string SqlStore::rowNamed() const {
    return filledIn(connection_->dialect().anyOf, "r.name_id",
                    "SELECT id FROM phrase WHERE spelling_key = ?");
}

std::string SqlStore::name() const {
    return connection_->name();
}

void SqlStore::learnPhrases(const std::set<std::string_view>& spellings) {
    std::vector<std::string_view> all;
    for (std::string_view spelling : spellings) {
        if (batchPhrases_.find(spelling) == batchPhrases_.end())
            all.push_back(spelling);
    }
    const std::size_t chunk = kParameterLimit / 2;
    for (std::size_t from = 0; from < all.size(); from += chunk) {
        const std::size_t count = std::min(chunk, all.size() - from);
        std::vector<SqlValue> pairs;
        std::vector<SqlValue> singles;
        for (std::size_t i = from; i < from + count; ++i) {
            pairs.emplace_back(std::string(all[i]));
            pairs.emplace_back(trimmedKey(all[i]));
            singles.emplace_back(std::string(all[i]));
        }
        connection_->query(joined("INSERT INTO phrase (spelling, spelling_key) VALUES ",
                                  placeholders(count, 2), " ON CONFLICT (spelling) DO NOTHING"),
                           pairs);
        std::string list = placeholders(1, count);
        for (const SqlRow& row :
             connection_->query(joined("SELECT id, spelling FROM phrase WHERE spelling IN ", list),
                                singles))
            batchPhrases_.emplace(bytesOf(row[1]), intOf(row[0]));
    }
}

SqlValue SqlStore::phraseId(std::string_view spelling, bool present) const {
    if (!present)
        return nullptr;
    return batchPhrases_.find(spelling)->second;
}

void SqlStore::insertInChunks(std::string_view into, std::size_t width, std::size_t count,
                              const std::function<void(std::size_t, std::vector<SqlValue>&)>& valuesOf) {
    const std::size_t chunk = std::min(kParameterLimit / width, connection_->dialect().rowsPerInsert);
    for (std::size_t from = 0; from < count; from += chunk) {
        const std::size_t rows = std::min(chunk, count - from);
        std::vector<SqlValue> values;
        for (std::size_t i = from; i < from + rows; ++i)
            valuesOf(i, values);
        connection_->query(joined("INSERT INTO ", into, " VALUES ", placeholders(rows, width)), values);
    }
}

std::int64_t SqlStore::put(const Snapshot& snapshot) {
    return putAll(std::span(&snapshot, 1)).front();
}

std::vector<std::int64_t> SqlStore::putAll(std::span<const Snapshot> snapshots) {
    for (const Snapshot& snapshot : snapshots) {
        if (snapshot.path.empty())
            throw LibraryError("Library \"" + name() + "\": a drive without a folder can't be added");
    }
    // The phrases' ids are known for the transaction's time only: one that
    // is rolled back takes its new phrases with it.
    struct Forget {
        decltype(batchPhrases_)& phrases;
        ~Forget() { phrases.clear(); }
    } forget{batchPhrases_};
    std::vector<std::int64_t> ids;
    Transaction transaction(*connection_, true);
    for (const Snapshot& snapshot : snapshots)
        ids.push_back(putWithin(snapshot));
    transaction.commit();
    return ids;
}

std::int64_t SqlStore::putWithin(const Snapshot& snapshot) {
    const std::vector<std::string> summary = firstValues(snapshot.rows, summaryRowNames());
    const bool keepLabel = snapshot.label.empty();
    const std::int64_t now = secondsNow();
    const std::int64_t id = intOf(
        connection_
            ->query("INSERT INTO drive (path, label, family, firmware_code, serial, board, added,"
                    " updated) VALUES (?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (path) DO UPDATE SET"
                    " label = CASE WHEN ? = 1 THEN drive.label ELSE excluded.label END,"
                    " family = excluded.family, firmware_code = excluded.firmware_code,"
                    " serial = excluded.serial, board = excluded.board,"
                    " updated = excluded.updated RETURNING id",
                    {snapshot.path, keepLabel ? nameOf(snapshot.path) : snapshot.label, summary[0],
                     summary[1], summary[2], summary[3], now, now, std::int64_t{keepLabel}})
            .front()[0]);
    connection_->query("DELETE FROM drive_row WHERE drive_id = ?", {id});
    connection_->query("DELETE FROM drive_file WHERE drive_id = ?", {id});

    insertInChunks("drive_file (drive_id, seq, name, size, modified, sha256)", 6, snapshot.files.size(),
                   [&](std::size_t i, std::vector<SqlValue>& values) {
                       const StoredFile& file = snapshot.files[i];
                       values.insert(values.end(), {id, static_cast<std::int64_t>(i), file.name,
                                                    file.size, file.modified, file.sha256});
                   });

    std::set<std::string_view> spellings;
    for (const StoredRow& row : snapshot.rows) {
        spellings.insert(row.name);
        if (!row.loader.empty())
            spellings.insert(row.loader);
        if (row.source) {
            spellings.insert(row.source->file);
            spellings.insert(row.source->entry);
        }
    }
    learnPhrases(spellings);
    insertInChunks("drive_row (drive_id, seq, block, loader_id, name_id, value, value_key, value_fold,"
                   " source_file_id, source_offset, source_bytes, source_entry_id)",
                   12, snapshot.rows.size(), [&](std::size_t i, std::vector<SqlValue>& values) {
                       const StoredRow& row = snapshot.rows[i];
                       const bool sourced = row.source.has_value();
                       values.insert(values.end(),
                                     {id, static_cast<std::int64_t>(i), static_cast<std::int64_t>(row.block),
                                      phraseId(row.loader, !row.loader.empty()), phraseId(row.name),
                                      row.value, trimmedKey(row.value), foldedKey(row.value),
                                      phraseId(sourced ? row.source->file : "", sourced),
                                      sourced ? SqlValue(row.source->offset) : SqlValue(nullptr),
                                      sourced ? SqlValue(row.source->bytes) : SqlValue(nullptr),
                                      phraseId(sourced ? row.source->entry : "", sourced)});
                   });
    return id;
}

std::optional<std::vector<StoredFile>> SqlStore::storedFiles(const std::string& path) {
    std::map<std::string, std::vector<StoredFile>> stored = storedFilesOf({path});
    if (stored.empty())
        return std::nullopt;
    return std::move(stored.begin()->second);
}

std::map<std::string, std::vector<StoredFile>> SqlStore::storedFilesOf(const std::vector<std::string>& paths) {
    std::map<std::string, std::vector<StoredFile>> stored;
    const std::size_t chunk = idsPerStatement(0);
    for (std::size_t from = 0; from < paths.size(); from += chunk) {
        const std::size_t count = std::min(chunk, paths.size() - from);
        const std::vector<SqlValue> params(paths.begin() + static_cast<std::ptrdiff_t>(from),
                                           paths.begin() + static_cast<std::ptrdiff_t>(from + count));
        connection_->each(joined("SELECT d.path, f.name, f.size, f.modified, f.sha256 FROM drive d"
                                 " LEFT JOIN drive_file f ON f.drive_id = d.id WHERE d.path IN ",
                                 placeholders(1, count), " ORDER BY d.id, f.seq"),
                          params, [&](const SqlRow& row) {
                              std::vector<StoredFile>& files = stored[bytesOf(row[0])];
                              if (!std::holds_alternative<std::nullptr_t>(row[1]))
                                  files.push_back({bytesOf(row[1]), intOf(row[2]), intOf(row[3]),
                                                   bytesOf(row[4])});
                          });
    }
    return stored;
}

std::vector<DriveSummary> SqlStore::summaries(std::string_view where, const std::vector<SqlValue>& params) {
    std::vector<DriveSummary> drives;
    for (const SqlRow& row :
         connection_->query(joined("SELECT ", kSummaryColumns, " FROM drive d ", where, " ORDER BY d.id"),
                            params))
        drives.push_back(summaryOf(row));
    return drives;
}

std::vector<DriveSummary> SqlStore::list() {
    return summaries("", {});
}

std::vector<DriveSummary> SqlStore::lookUp(const DriveRef& ref) {
    switch (ref.kind) {
    case DriveRef::Kind::Id:
        return summaries("WHERE d.id = ?", {ref.id});
    case DriveRef::Kind::Path:
        return summaries("WHERE d.path = ?", {storedPath(ref.text)});
    case DriveRef::Kind::Label:
        return summaries("WHERE d.label = ?", {ref.text});
    }
    return {};
}

std::optional<Drive> SqlStore::drive(std::int64_t id) {
    // One transaction: the drive's three parts as one change left them.
    Transaction transaction(*connection_, false);
    std::vector<DriveSummary> found = summaries("WHERE d.id = ?", {id});
    if (found.empty())
        return std::nullopt;
    Drive drive{found.front(), {}, {}};
    for (const SqlRow& row : connection_->query(
             "SELECT name, size, modified, sha256 FROM drive_file WHERE drive_id = ? ORDER BY seq", {id}))
        drive.files.push_back({bytesOf(row[0]), intOf(row[1]), intOf(row[2]), bytesOf(row[3])});
    for (const SqlRow& row : connection_->query(
             joined("SELECT ", kRowColumns, " FROM drive_row r", kRowJoins,
                    " WHERE r.drive_id = ? ORDER BY r.seq"),
             {id}))
        drive.rows.push_back(storedRowOf(row, 0));
    transaction.commit();
    return drive;
}

bool SqlStore::remove(std::int64_t id) {
    Transaction transaction(*connection_, true);
    connection_->query("DELETE FROM drive_row WHERE drive_id = ?", {id});
    connection_->query("DELETE FROM drive_file WHERE drive_id = ?", {id});
    const bool removed = !connection_->query("DELETE FROM drive WHERE id = ? RETURNING id", {id}).empty();
    transaction.commit();
    return removed;
}

std::vector<FoundDrive> SqlStore::find(const std::vector<FindTerm>& terms) {
    if (terms.empty())
        return {};
    // First the drives that every term holds for: exact terms go first, each
    // through the index of values; part terms then look only at the drives
    // the exact ones left (or, with none, at every row of their names). Then
    // the rows of those drives that match any term, read by the drives' ids,
    // which an engine can't foresee from the first query's text.
    const bool anyExact = std::any_of(terms.begin(), terms.end(), [](const FindTerm& term) {
        return term.match == FindTerm::Match::Exact;
    });
    std::string exact;
    std::string hits = anyExact ? "SELECT drive_id FROM exact" : "";
    std::string rowCondition;
    std::vector<SqlValue> exactParams;
    std::vector<SqlValue> hitParams;
    std::vector<SqlValue> rowParams;
    for (const FindTerm& term : terms) {
        const bool isExact = term.match == FindTerm::Match::Exact;
        const std::string condition = joined(
            rowNamed(), " AND ",
            isExact ? std::string(kExactValue) : filledIn(connection_->dialect().contains, "r.value_fold", "?"));
        std::vector<SqlValue> values = {trimmedKey(term.name), foldedKey(term.text)};
        if (isExact)
            values.emplace_back(trimmedKey(term.text));
        rowCondition += joined(rowCondition.empty() ? "(" : " OR (", condition, ")");
        rowParams.insert(rowParams.end(), values.begin(), values.end());
        std::string& to = isExact ? exact : hits;
        to += joined(to.empty() ? "" : " INTERSECT ", "SELECT DISTINCT r.drive_id FROM ",
                     !isExact && anyExact ? "exact e JOIN drive_row r ON r.drive_id = e.drive_id"
                                          : "drive_row r",
                     " WHERE ", condition);
        std::vector<SqlValue>& params = isExact ? exactParams : hitParams;
        params.insert(params.end(), values.begin(), values.end());
    }
    std::vector<SqlValue> params = exactParams;
    params.insert(params.end(), hitParams.begin(), hitParams.end());

    Transaction transaction(*connection_, false);
    // The drives come sorted here: sorting them in the query would have an
    // engine read the rows in the drives' order, every one of them.
    std::vector<std::int64_t> hitIds;
    connection_->each(joined(anyExact ? joined("WITH exact AS MATERIALIZED (", exact, ") ") : std::string(), hits),
                      params, [&](const SqlRow& row) { hitIds.push_back(intOf(row[0])); });
    std::sort(hitIds.begin(), hitIds.end());
    std::vector<FoundDrive> found;
    eachRowOfDrives(hitIds, joined("(", rowCondition, ")"), rowParams, [&](const SqlRow& row) {
        if (found.empty() || found.back().drive.id != intOf(row[0]))
            found.push_back({summaryOf(row), {}});
        found.back().rows.push_back(storedRowOf(row, kSummaryWidth));
    });
    transaction.commit();
    return found;
}

void SqlStore::eachRowOfDrives(const std::vector<std::int64_t>& ids, const std::string& condition,
                               const std::vector<SqlValue>& conditionParams,
                               const std::function<void(const SqlRow&)>& each) {
    // The ids go in chunks that keep a statement within the engines' limit of
    // parameters.
    const std::size_t chunk = idsPerStatement(conditionParams.size());
    for (std::size_t from = 0; from < ids.size(); from += chunk) {
        const std::size_t count = std::min(chunk, ids.size() - from);
        std::vector<SqlValue> params(ids.begin() + static_cast<std::ptrdiff_t>(from),
                                     ids.begin() + static_cast<std::ptrdiff_t>(from + count));
        params.insert(params.end(), conditionParams.begin(), conditionParams.end());
        connection_->each(joined("SELECT ", kSummaryColumns, ", ", kRowColumns,
                                 " FROM drive d JOIN drive_row r ON r.drive_id = d.id", kRowJoins,
                                 joined(" WHERE d.id IN ", placeholders(1, count), " AND ",
                                        condition, " ORDER BY d.id, r.seq")),
                          params, each);
    }
}

std::vector<Donor> SqlStore::donors(const Snapshot& bench, const std::vector<std::string>& matchNames,
                                    std::size_t limit) {
    // Every value the bench drive has for each match name, by the name's
    // number; a blank value agrees with nothing.
    std::vector<std::string> nameKeys;
    std::set<std::pair<std::size_t, std::string>> wanted;
    for (const std::string& name : matchNames) {
        const std::string key = trimmedKey(name);
        if (std::find(nameKeys.begin(), nameKeys.end(), key) != nameKeys.end())
            continue;
        for (const StoredRow& row : bench.rows) {
            std::string value = trimmedKey(row.value);
            if (trimmedKey(row.name) == key && !value.empty())
                wanted.emplace(nameKeys.size(), std::move(value));
        }
        nameKeys.push_back(key);
    }
    if (wanted.empty() || limit == 0)
        return {};

    // Each agreeing row through the index of values; the drives are ranked
    // here, counting each name once, which an engine's grouping sorts for.
    std::string agreeing;
    std::vector<SqlValue> params;
    for (const auto& [number, value] : wanted) {
        agreeing += joined(agreeing.empty() ? "" : " UNION ALL ", "SELECT r.drive_id, ",
                           std::to_string(number), " AS term FROM drive_row r WHERE ", rowNamed(),
                           " AND ", kExactValue);
        params.insert(params.end(), {nameKeys[number], foldedKey(value), value});
    }
    params.emplace_back(bench.path);
    Transaction transaction(*connection_, false);
    std::vector<std::pair<std::int64_t, std::int64_t>> agreements;
    connection_->each(joined("SELECT m.drive_id, m.term FROM (", agreeing,
                             ") m WHERE m.drive_id NOT IN (SELECT id FROM drive WHERE path = ?)"),
                      params, [&](const SqlRow& row) { agreements.emplace_back(intOf(row[0]), intOf(row[1])); });
    const std::vector<std::int64_t> ranked = rankedByAgreement(std::move(agreements), limit);
    if (ranked.empty())
        return {};

    // The ranked drives with their rows of the match names.
    std::map<std::int64_t, DriveSummary> drives;
    std::map<std::int64_t, std::vector<StoredRow>> rowsOf;
    eachRowOfDrives(ranked, joined("n.spelling_key IN ", placeholders(1, nameKeys.size())),
                    std::vector<SqlValue>(nameKeys.begin(), nameKeys.end()), [&](const SqlRow& row) {
                        drives[intOf(row[0])] = summaryOf(row);
                        rowsOf[intOf(row[0])].push_back(storedRowOf(row, kSummaryWidth));
                    });
    transaction.commit();

    std::vector<Donor> donors;
    for (const std::int64_t id : ranked) {
        Donor donor{drives[id], 0, {}};
        donor.rows = compareMatchRows(bench.rows, rowsOf[donor.drive.id], matchNames);
        donor.agreeing = static_cast<std::size_t>(
            std::count_if(donor.rows.begin(), donor.rows.end(), [](const DonorRow& r) { return r.agrees; }));
        donors.push_back(std::move(donor));
    }
    return donors;
}

std::vector<std::int64_t> rankedByAgreement(std::vector<std::pair<std::int64_t, std::int64_t>> agreements,
                                            std::size_t limit) {
    std::sort(agreements.begin(), agreements.end());
    agreements.erase(std::unique(agreements.begin(), agreements.end()), agreements.end());
    std::vector<std::pair<std::size_t, std::int64_t>> counted; // (count, id)
    for (const auto& [id, term] : agreements) {
        if (counted.empty() || counted.back().second != id)
            counted.emplace_back(0, id);
        ++counted.back().first;
    }
    const auto better = [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    };
    const std::size_t kept = std::min(limit, counted.size());
    std::partial_sort(counted.begin(), counted.begin() + static_cast<std::ptrdiff_t>(kept), counted.end(), better);
    std::vector<std::int64_t> ids;
    for (std::size_t i = 0; i < kept; ++i)
        ids.push_back(counted[i].second);
    return ids;
}

std::string filledIn(std::string_view form, std::string_view first, std::string_view second) {
    std::string text(form);
    text.replace(text.find("{0}"), 3, first);
    text.replace(text.find("{1}"), 3, second);
    return text;
}

std::vector<DonorRow> compareMatchRows(const std::vector<StoredRow>& bench,
                                       const std::vector<StoredRow>& donor,
                                       const std::vector<std::string>& matchNames) {
    const auto valuesNamed = [](const std::vector<StoredRow>& rows, const std::string& key) {
        std::vector<const std::string*> values;
        for (const StoredRow& row : rows) {
            if (trimmedKey(row.name) == key)
                values.push_back(&row.value);
        }
        return values;
    };
    std::vector<DonorRow> rows;
    for (const std::string& name : matchNames) {
        const std::string key = trimmedKey(name);
        const std::vector<const std::string*> ours = valuesNamed(bench, key);
        const std::vector<const std::string*> theirs = valuesNamed(donor, key);
        DonorRow compared{name, ours.empty() ? "" : *ours.front(),
                          theirs.empty() ? "" : *theirs.front(), false};
        // The first pair that agrees names the row; blank values never agree.
        for (const std::string* a : ours) {
            if (trimmedKey(*a).empty())
                continue;
            const auto b = std::find_if(theirs.begin(), theirs.end(), [&](const std::string* value) {
                return trimmedKey(*value) == trimmedKey(*a);
            });
            if (b != theirs.end()) {
                compared = {name, *a, **b, true};
                break;
            }
        }
        rows.push_back(std::move(compared));
    }
    return rows;
}

} // namespace dravik::library
