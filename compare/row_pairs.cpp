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

// For each key of second, the index of its partner in first, or kNone: the
// n-th occurrence of a key goes with the n-th occurrence of that key.
std::vector<std::size_t> partnersInFirst(const std::vector<std::string_view>& first,
                                         const std::vector<std::string_view>& second) {
    std::unordered_map<std::string_view, std::vector<std::size_t>> byKey;
    for (std::size_t i = 0; i < first.size(); ++i)
        byKey[first[i]].push_back(i);
    std::unordered_map<std::string_view, std::size_t> seen;
    std::vector<std::size_t> partners(second.size(), kNone);
    for (std::size_t j = 0; j < second.size(); ++j) {
        const std::size_t occurrence = seen[second[j]]++;
        const auto found = byKey.find(second[j]);
        if (found != byKey.end() && occurrence < found->second.size())
            partners[j] = found->second[occurrence];
    }
    return partners;
}

std::vector<std::string_view> namesOf(const std::vector<ResultRow>& rows) {
    std::vector<std::string_view> names;
    names.reserve(rows.size());
    for (const ResultRow& row : rows)
        names.push_back(row.name);
    return names;
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

std::vector<Partners> alignByKey(const std::vector<std::string_view>& first,
                                 const std::vector<std::string_view>& second) {
    const std::vector<std::size_t> partners = partnersInFirst(first, second);
    std::vector<std::size_t> partnerOfFirst(first.size(), kNone);
    // The keys found only in second, by the first key whose pair they precede
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

    std::vector<Partners> aligned;
    aligned.reserve(first.size() + second.size());
    const auto addOnlyInSecond = [&](std::vector<std::size_t>& keys) {
        // Collected from the end backwards.
        for (auto j = keys.rbegin(); j != keys.rend(); ++j)
            aligned.push_back({std::nullopt, *j});
    };
    for (std::size_t i = 0; i < first.size(); ++i) {
        addOnlyInSecond(before[i]);
        const std::size_t j = partnerOfFirst[i];
        aligned.push_back({i, j == kNone ? std::nullopt : std::optional<std::size_t>(j)});
    }
    addOnlyInSecond(before[first.size()]);
    return aligned;
}

std::vector<RowPair> pairRows(const std::vector<ResultRow>& first,
                              const std::vector<ResultRow>& second) {
    std::vector<RowPair> pairs;
    pairs.reserve(first.size() + second.size());
    for (const auto& [i, j] : alignByKey(namesOf(first), namesOf(second))) {
        if (!i)
            pairs.push_back({PairState::OnlyInSecond, std::nullopt, second[*j]});
        else if (!j)
            pairs.push_back({PairState::OnlyInFirst, first[*i], std::nullopt});
        else
            pairs.push_back(
                {first[*i].value == second[*j].value ? PairState::Same : PairState::Differs,
                 first[*i], second[*j]});
    }
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
