#include "results/result_list.h"

namespace dravik {

void ResultList::append(std::string name, std::string value) {
    rows_.push_back(ResultRow{std::move(name), std::move(value)});
}

void ResultList::clear() {
    rows_.clear();
}

void ResultList::setValue(std::size_t index, std::string value) {
    rows_.at(index).value = std::move(value);
}

} // namespace dravik
