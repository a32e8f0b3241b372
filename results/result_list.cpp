#include "results/result_list.h"

namespace dravik {

void ResultList::append(std::string name, std::string value) {
    const std::size_t index = rows_.size();
    if (observer_)
        observer_->rowAboutToBeAppended(index);
    rows_.push_back(ResultRow{std::move(name), std::move(value)});
    if (observer_)
        observer_->rowAppended(index);
}

void ResultList::clear() {
    if (observer_)
        observer_->aboutToClear();
    rows_.clear();
    if (observer_)
        observer_->cleared();
}

void ResultList::setValue(std::size_t index, std::string value) {
    rows_.at(index).value = std::move(value);
    if (observer_)
        observer_->valueChanged(index);
}

} // namespace dravik
