#include "library/keys.h"

#include "platform/cp1251.h"

namespace dravik::library {

std::string trimmedKey(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string foldedKey(std::string_view text) {
    std::string key = trimmedKey(text);
    for (char& byte : key)
        byte = foldCase(byte);
    return key;
}

} // namespace dravik::library
