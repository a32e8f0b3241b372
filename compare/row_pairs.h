#pragma once

#include "results/result_list.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravik {

/// How the two rows of a pair stand to each other.
enum class PairState { Same, Differs, OnlyInFirst, OnlyInSecond };

/// The mark of a state in a column of its own: "=", "!", "<", ">".
char pairMark(PairState state);
/// The state as JSON names it: "same", "differs", "only-in-first", "only-in-second".
std::string_view pairStateName(PairState state);

/// A row of the first result and its counterpart in the second, with their
/// sources; the side without a counterpart is empty.
struct RowPair {
    PairState state = PairState::Same;
    std::optional<ResultRow> first;
    std::optional<ResultRow> second;

    /// The name the two rows share (Windows-1251).
    const std::string& name() const { return first ? first->name : second->name; }
};

/// The indexes of an item of the first list and of its partner in the second;
/// nothing on the side that has no partner.
struct Partners {
    std::optional<std::size_t> first;
    std::optional<std::size_t> second;
};

/// Aligns two lists by key and occurrence: the n-th occurrence of a key in the
/// first with the n-th occurrence of it in the second. The first list's order
/// holds; an item of the second alone stands before the next item of the
/// second that has a partner, or at the end when none follows.
std::vector<Partners> alignByKey(const std::vector<std::string_view>& first,
                                 const std::vector<std::string_view>& second);

/// Pairs the rows of two results by name and occurrence: the n-th row named X
/// of the first with the n-th row named X of the second. Values compare as
/// shown, byte for byte. The pairs keep the first result's order; a row found
/// only in the second stands before the pair of the next second row that has a
/// partner, or at the end when none follows.
std::vector<RowPair> pairRows(const std::vector<ResultRow>& first,
                              const std::vector<ResultRow>& second);

/// True when some pair is not the same.
bool anyDiffers(const std::vector<RowPair>& pairs);

/// One pair on one line, as `dravik-cli compare --format json` writes it:
/// {"mark": "!", "state": "differs", "name": ..., "a": ..., "b": ...}, each side
/// null or {"value": ...} with the row's "source" when it has one. Texts
/// become UTF-8.
std::string pairJson(const RowPair& pair);

} // namespace dravik
