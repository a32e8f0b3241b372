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
    void clear();
    std::size_t count() const { return rows_.size(); }
    const ResultRow& row(std::size_t index) const { return rows_.at(index); }
    /// The user's edit of a value in the grid.
    void setValue(std::size_t index, std::string value);
    const std::vector<ResultRow>& rows() const { return rows_; }

private:
    std::vector<ResultRow> rows_;
    ResultListObserver* observer_ = nullptr;
};

} // namespace dravik
