#pragma once

#include "library/sql.h"

#include <string>
#include <string_view>

// The library's tables, made and upgraded by the program.
//
// phrase      every name, loader file, source file and settings entry once
//             (spelling), with spelling_key its trimmed form (step 2);
// drive       one per folder, with the summary values a list shows;
// drive_file  the folder's files;
// drive_row   the rows, their texts by phrase, with value_key and value_fold
//             the trimmed and the case-folded value (step 2), found through
//             one index of both (step 3).
// library     one row: the schema's version.
namespace dravik::library {

/// The version this program writes; a library of a higher one is refused.
inline constexpr int kSchemaVersion = 3;

/// SQL in the store's words with the dialect's texts put in: {bytes}, {id},
/// {integer}, {withoutRowId}.
std::string inDialect(std::string_view sql, const Dialect& dialect);

/// The library's schema version: 0 for an empty database. Raises a
/// LibraryError when the database holds tables but no library.
int schemaVersion(Connection& connection);

/// Runs step (1 .. kSchemaVersion) of the schema and records it, in the
/// transaction the caller holds.
void runSchemaStep(Connection& connection, int step);

/// Brings the library up to kSchemaVersion, one transaction per step; a
/// library of a newer program is refused and left untouched.
void upgradeSchema(Connection& connection);

} // namespace dravik::library
