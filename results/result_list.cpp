#include "results/result_list.h"

namespace dravik {

void ResultList::append(std::string name, std::string value) {
    push(ResultRow{std::move(name), std::move(value)});
}

void ResultList::append(std::string name, std::string value, RowSource source) {
    push(ResultRow{std::move(name), std::move(value), std::move(source)});
}

void ResultList::push(ResultRow row) {
    const std::size_t index = rows_.size();
    if (observer_)
        observer_->rowAboutToBeAppended(index);
    rows_.push_back(std::move(row));
    if (observer_)
        observer_->rowAppended(index);
}

void ResultList::clear() {
    if (observer_)
        observer_->aboutToClear();
    rows_.clear();
    replaced_.clear();
    if (observer_)
        observer_->cleared();
}

void ResultList::setValue(std::size_t index, std::string value) {
    std::string& shown = rows_.at(index).value;
    // An edit that keeps the value (an editor closed unchanged) is no edit.
    if (value == shown)
        return;
    auto replaced = replaced_.find(index);
    if (replaced == replaced_.end())
        replaced_.emplace(index, shown);
    else if (replaced->second == value)
        replaced_.erase(replaced);
    shown = std::move(value);
    if (observer_)
        observer_->valueChanged(index);
}

const std::string* ResultList::replacedValue(std::size_t index) const {
    const auto replaced = replaced_.find(index);
    return replaced == replaced_.end() ? nullptr : &replaced->second;
}

} // namespace dravik
