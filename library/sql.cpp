#include "library/sql.h"

namespace dravik::library {

std::int64_t intOf(const SqlValue& value) {
    const auto* number = std::get_if<std::int64_t>(&value);
    return number ? *number : 0;
}

const std::string& bytesOf(const SqlValue& value) {
    static const std::string none;
    const auto* bytes = std::get_if<std::string>(&value);
    return bytes ? *bytes : none;
}

} // namespace dravik::library
