#pragma once

#include "modules/context.h"
#include "platform/errors.h"
#include "results/result_list.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace dravik {

/// A message of a decode for the user (Windows-1251), tied to the row at
/// index row: the command shows it just before it appends that row, or after
/// the last row when the index is past it.
struct DecodeMessage {
    std::size_t row = 0;
    std::string text;

    bool operator==(const DecodeMessage&) const = default;
};

/// What a module command decodes from a folder or a file, without doing
/// anything with it: the rows with their sources, the title, the messages.
struct Decoded {
    /// False when there was nothing to decode (no module, no file): the
    /// command then changes nothing.
    bool found = false;
    std::vector<ResultRow> rows;
    /// The main window's title text (Windows-1251), for a command that sets one.
    std::optional<std::string> title;
    std::vector<DecodeMessage> messages;
    /// The error that ended the decode, after the rows made before it, with
    /// the layout entry it arose at; the command raises it once it has
    /// appended them. None when none did.
    std::optional<Error> error;
};

/// Appends the rows to the context's results, showing each message just before
/// the row it is tied to, then raises the decode's error, if any.
void appendDecoded(Decoded decoded, Context& context);

} // namespace dravik
