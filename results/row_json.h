#pragma once

#include "results/result_list.h"

#include <string>
#include <string_view>

namespace dravik {

/// A JSON string literal of a UTF-8 text; a byte that is not part of valid
/// UTF-8 (a native file name may hold one) becomes U+FFFD.
std::string jsonString(std::string_view utf8);

/// A text for a tsv field: backslash, tab, line feed and carriage return
/// written as \\ \t \n \r.
std::string tsvField(std::string_view text);

/// A row's source as JSON: {"file": ..., "offset": ..., "length": ...,
/// "bytes": "hexadecimal", "entry": ...}; the entry becomes UTF-8.
std::string sourceJson(const RowSource& source);

/// One row as `dravik-cli --format json` writes it, on one line:
/// {"name": ..., "value": ...} and, when the row has a source, "source" with
/// the file, the offset, the length, the bytes in hexadecimal and the entry.
/// Texts are converted from Windows-1251 to UTF-8. A row whose value the user
/// typed over is written without its source, which no longer tells where the
/// value came from.
std::string rowJson(const ResultRow& row, bool edited = false);

} // namespace dravik
