#include "platform/console.h"

namespace dravik {

bool isConsole(std::FILE*) {
    return false;
}

bool writeToConsole(std::FILE*, std::string_view) {
    return false;
}

std::vector<std::string> expandWildcards(const std::vector<std::string>& arguments) {
    return arguments;
}

} // namespace dravik
