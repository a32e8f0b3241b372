#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace dravik {

/// One Name/Value row; both texts are Windows-1251 bytes.
struct ResultRow {
    std::string name;
    std::string value;

    bool operator==(const ResultRow&) const = default;
};

/// The ordered rows that the commands fill and the grid shows.
class ResultList {
public:
    void append(std::string name, std::string value);
    void clear();
    std::size_t count() const { return rows_.size(); }
    const ResultRow& row(std::size_t index) const { return rows_.at(index); }
    /// The user's edit of a value in the grid.
    void setValue(std::size_t index, std::string value);
    const std::vector<ResultRow>& rows() const { return rows_; }

private:
    std::vector<ResultRow> rows_;
};

} // namespace dravik
