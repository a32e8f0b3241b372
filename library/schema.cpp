#include "library/schema.h"

#include "library/keys.h"
#include "library/store.h"

#include <algorithm>
#include <array>
#include <utility>

namespace dravik::library {
namespace {

constexpr std::string_view kStep1[] = {
    "CREATE TABLE library (version {integer} NOT NULL)",
    "INSERT INTO library (version) VALUES (0)",
    "CREATE TABLE phrase (id {id}, spelling {bytes} NOT NULL UNIQUE)",
    "CREATE TABLE drive (id {id}, path {bytes} NOT NULL UNIQUE, label {bytes} NOT NULL,"
    " family {bytes} NOT NULL, firmware_code {bytes} NOT NULL, serial {bytes} NOT NULL,"
    " board {bytes} NOT NULL, added {integer} NOT NULL, updated {integer} NOT NULL)",
    "CREATE TABLE drive_file (drive_id {integer} NOT NULL, seq {integer} NOT NULL,"
    " name {bytes} NOT NULL, size {integer} NOT NULL, modified {integer} NOT NULL,"
    " sha256 {bytes} NOT NULL, PRIMARY KEY (drive_id, seq)){withoutRowId}",
    "CREATE TABLE drive_row (drive_id {integer} NOT NULL, seq {integer} NOT NULL,"
    " block {integer} NOT NULL, loader_id {integer}, name_id {integer} NOT NULL,"
    " value {bytes} NOT NULL, source_file_id {integer}, source_offset {integer},"
    " source_bytes {bytes}, source_entry_id {integer}, PRIMARY KEY (drive_id, seq)){withoutRowId}",
};

// The keys of find and donors, filled in for what step 1 stored, and their
// indexes.
constexpr std::string_view kStep2Columns[] = {
    "ALTER TABLE phrase ADD COLUMN spelling_key {bytes}",
    "ALTER TABLE drive_row ADD COLUMN value_key {bytes}",
    "ALTER TABLE drive_row ADD COLUMN value_fold {bytes}",
};
constexpr std::string_view kStep2Indexes[] = {
    "CREATE INDEX phrase_key ON phrase (spelling_key)",
    // With the drive in the index, find and donors read the index alone.
    "CREATE INDEX drive_row_exact ON drive_row (name_id, value_key, drive_id)",
    "CREATE INDEX drive_row_part ON drive_row (name_id, value_fold, drive_id)",
    "CREATE INDEX drive_label ON drive (label)",
};

// One index of values serves both: an exact value is found by its folded
// form and then itself, a part of one by reading the folded forms of a name.
// Rows go in with one index to keep rather than two.
constexpr std::string_view kStep3[] = {
    "DROP INDEX drive_row_exact",
    "DROP INDEX drive_row_part",
    "CREATE INDEX drive_row_value ON drive_row (name_id, value_fold, value_key, drive_id)",
};

void fillKeys(Connection& connection) {
    for (const SqlRow& phrase : connection.query("SELECT id, spelling FROM phrase"))
        connection.query("UPDATE phrase SET spelling_key = ? WHERE id = ?",
                         {trimmedKey(bytesOf(phrase[1])), phrase[0]});
    for (const SqlRow& row : connection.query("SELECT drive_id, seq, value FROM drive_row"))
        connection.query("UPDATE drive_row SET value_key = ?, value_fold = ? WHERE drive_id = ? AND seq = ?",
                         {trimmedKey(bytesOf(row[2])), foldedKey(bytesOf(row[2])), row[0], row[1]});
}

} // namespace

std::string inDialect(std::string_view sql, const Dialect& dialect) {
    const std::array<std::pair<std::string_view, std::string_view>, 4> words = {{
        {"{bytes}", dialect.bytes},
        {"{id}", dialect.id},
        {"{integer}", dialect.integer},
        {"{withoutRowId}", dialect.withoutRowId},
    }};
    std::string text(sql);
    for (const auto& [word, replacement] : words) {
        for (std::size_t at = text.find(word); at != std::string::npos;
             at = text.find(word, at + replacement.size()))
            text.replace(at, word.size(), replacement);
    }
    return text;
}

int schemaVersion(Connection& connection) {
    const std::vector<std::string> tables = connection.tables();
    if (tables.empty())
        return 0;
    if (std::find(tables.begin(), tables.end(), "library") == tables.end())
        throw LibraryError("Library \"" + connection.name() +
                           "\": the database holds no Dravik library");
    const std::vector<SqlRow> rows = connection.query("SELECT version FROM library");
    return rows.empty() ? 0 : static_cast<int>(intOf(rows.front()[0]));
}

void runSchemaStep(Connection& connection, int step) {
    const Dialect& dialect = connection.dialect();
    if (step == 1) {
        for (std::string_view sql : kStep1)
            connection.query(inDialect(sql, dialect));
    } else if (step == 2) {
        for (std::string_view sql : kStep2Columns)
            connection.query(inDialect(sql, dialect));
        fillKeys(connection);
        for (std::string_view sql : kStep2Indexes)
            connection.query(inDialect(sql, dialect));
    } else if (step == 3) {
        for (std::string_view sql : kStep3)
            connection.query(sql);
    }
    connection.query("UPDATE library SET version = ?", {std::int64_t{step}});
}

void upgradeSchema(Connection& connection) {
    int version = schemaVersion(connection);
    const auto refuseNewer = [&] {
        if (version > kSchemaVersion)
            throw LibraryError("Library \"" + connection.name() +
                               "\" is of a newer Dravik (schema " + std::to_string(version) +
                               "; this one knows up to " + std::to_string(kSchemaVersion) +
                               "): left as it was");
    };
    refuseNewer();
    while (version < kSchemaVersion) {
        Transaction transaction(connection, true);
        // Another program may have taken the step while this one waited.
        version = schemaVersion(connection);
        refuseNewer();
        if (version < kSchemaVersion) {
            runSchemaStep(connection, version + 1);
            ++version;
        }
        transaction.commit();
    }
}

} // namespace dravik::library
