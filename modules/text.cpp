#include "modules/text.h"

#include <cstdio>

namespace dravik {

std::string textFromBytes(std::string_view data, std::size_t n) {
    std::string_view bytes = data.substr(0, n);
    return std::string(bytes.substr(0, bytes.find('\0')));
}

std::string hex4(std::uint16_t word) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(word));
    return buffer;
}

std::string formatModuleDate(const ModuleDate& date) {
    return std::to_string(date[2]) + "." + std::to_string(date[1]) + "." +
           std::to_string(1900 + date[0]) + " (" + std::to_string(date[3]) + ":" +
           std::to_string(date[4]) + ")";
}

} // namespace dravik
