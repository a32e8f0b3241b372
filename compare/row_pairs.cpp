#include "compare/row_pairs.h"

#include "platform/cp1251.h"
#include "results/row_json.h"

#include <algorithm>
#include <unordered_map>

namespace dravik {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Each state's mark and name, in the order of PairState.
constexpr struct {
    char mark;
    std::string_view name;
} kStates[] = {{'=', "same"}, {'!', "differs"}, {'<', "only-in-first"}, {'>', "only-in-second"}};

// For each row of second, the index of its partner in first, or kNone: the
// n-th row of a name goes with the n-th row of that name.
std::vector<std::size_t> partnersInFirst(const std::vector<ResultRow>& first,
                                         const std::vector<ResultRow>& second) {
    std::unordered_map<std::string_view, std::vector<std::size_t>> byName;
    for (std::size_t i = 0; i < first.size(); ++i)
        byName[first[i].name].push_back(i);
    std::unordered_map<std::string_view, std::size_t> seen;
    std::vector<std::size_t> partners(second.size(), kNone);
    for (std::size_t j = 0; j < second.size(); ++j) {
        const std::size_t occurrence = seen[second[j].name]++;
        const auto found = byName.find(second[j].name);
        if (found != byName.end() && occurrence < found->second.size())
            partners[j] = found->second[occurrence];
    }
    return partners;
}

std::string sideJson(const std::optional<ResultRow>& row) {
    if (!row)
        return "null";
    std::string json = "{\"value\": " + jsonString(toUtf8(row->value));
    if (row->source)
        json += ", \"source\": " + sourceJson(*row->source);
    return json + "}";
}

} // namespace

char pairMark(PairState state) {
    return kStates[static_cast<int>(state)].mark;
}

std::string_view pairStateName(PairState state) {
    return kStates[static_cast<int>(state)].name;
}

std::vector<RowPair> pairRows(const std::vector<ResultRow>& first,
                              const std::vector<ResultRow>& second) {
    const std::vector<std::size_t> partners = partnersInFirst(first, second);
    std::vector<std::size_t> partnerOfFirst(first.size(), kNone);
    // The rows found only in second, by the first row whose pair they precede
    // (first.size(): the end).
    std::vector<std::vector<std::size_t>> before(first.size() + 1);
    std::size_t anchor = first.size();
    for (std::size_t j = second.size(); j-- > 0;) {
        if (partners[j] == kNone) {
            before[anchor].push_back(j);
        } else {
            partnerOfFirst[partners[j]] = j;
            anchor = partners[j];
        }
    }

    std::vector<RowPair> pairs;
    pairs.reserve(first.size() + second.size());
    const auto addOnlyInSecond = [&](std::vector<std::size_t>& rows) {
        // Collected from the end backwards.
        for (auto j = rows.rbegin(); j != rows.rend(); ++j)
            pairs.push_back({PairState::OnlyInSecond, std::nullopt, second[*j]});
    };
    for (std::size_t i = 0; i < first.size(); ++i) {
        addOnlyInSecond(before[i]);
        const std::size_t j = partnerOfFirst[i];
        if (j == kNone) {
            pairs.push_back({PairState::OnlyInFirst, first[i], std::nullopt});
        } else {
            const PairState state =
                first[i].value == second[j].value ? PairState::Same : PairState::Differs;
            pairs.push_back({state, first[i], second[j]});
        }
    }
    addOnlyInSecond(before[first.size()]);
    return pairs;
}

bool anyDiffers(const std::vector<RowPair>& pairs) {
    return std::any_of(pairs.begin(), pairs.end(),
                       [](const RowPair& pair) { return pair.state != PairState::Same; });
}

std::string pairJson(const RowPair& pair) {
    return std::string("{\"mark\": \"") + pairMark(pair.state) + "\", \"state\": \"" +
           std::string(pairStateName(pair.state)) +
           "\", \"name\": " + jsonString(toUtf8(pair.name())) + ", \"a\": " + sideJson(pair.first) +
           ", \"b\": " + sideJson(pair.second) + "}";
}

} // namespace dravik
