#pragma once

#include "results/row_source.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dravik {

/// One Name/Value row; both texts are Windows-1251 bytes.
struct ResultRow {
    std::string name;
    std::string value;
    /// Where the value was decoded from; none for rows that read no file.
    std::optional<RowSource> source = std::nullopt;

    /// Rows are equal when they show and report the same; where they came
    /// from does not count.
    bool operator==(const ResultRow& other) const {
        return name == other.name && value == other.value;
    }
};

/// Told of every change of a ResultList, before and after it, so that a view
/// (the window's grid, the command-line companion) can follow it at once.
class ResultListObserver {
public:
    virtual ~ResultListObserver() = default;
    virtual void rowAboutToBeAppended(std::size_t /*index*/) {}
    virtual void rowAppended(std::size_t /*index*/) {}
    virtual void aboutToClear() {}
    virtual void cleared() {}
    virtual void valueChanged(std::size_t /*index*/) {}
};

/// The ordered rows that the commands fill and the grid shows.
class ResultList {
public:
    /// At most one observer; nullptr removes it. The list does not own it.
    void setObserver(ResultListObserver* observer) { observer_ = observer; }

    void append(std::string name, std::string value);
    /// Appends a row decoded from the bytes that source names.
    void append(std::string name, std::string value, RowSource source);
    void append(ResultRow row) { push(std::move(row)); }
    /// Removes every row, and with them the marks of the user's edits.
    void clear();
    std::size_t count() const { return rows_.size(); }
    const ResultRow& row(std::size_t index) const { return rows_.at(index); }
    /// The user's edit of a value in the grid. A value other than the one
    /// shown marks the row as edited; typing the replaced value back removes
    /// the mark.
    void setValue(std::size_t index, std::string value);
    /// The value that the user's edits replaced, or nullptr for a row as the
    /// command made it.
    const std::string* replacedValue(std::size_t index) const;
    const std::vector<ResultRow>& rows() const { return rows_; }

private:
    void push(ResultRow row);

    std::vector<ResultRow> rows_;
    /// The first value of each edited row, by its index; rows are only
    /// appended and cleared, so an index keeps naming its row.
    std::map<std::size_t, std::string> replaced_;
    ResultListObserver* observer_ = nullptr;
};

} // namespace dravik
