// Linked into a dravik-cli for the tests only: plants a failure of the
// standard library where the program opens the file named by the environment
// variable DRAVIK_PLANT_AT, of the kind that DRAVIK_PLANT names.

#include "platform/file_system.h"

#include <cstdlib>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>
#include <system_error>

namespace {

void plantedFailure(const std::string& path) {
    const char* at = std::getenv("DRAVIK_PLANT_AT");
    if (at == nullptr || dravik::nameOf(path) != at)
        return;
    const std::string kind = std::getenv("DRAVIK_PLANT") ? std::getenv("DRAVIK_PLANT") : "";
    if (kind == "length_error")
        throw std::length_error("basic_string::_M_create");
    if (kind == "filesystem_error")
        throw std::filesystem::filesystem_error("status",
                                                std::make_error_code(std::errc::io_error));
    throw std::bad_alloc();
}

const bool planted = (dravik::setFileHook(plantedFailure), true);

} // namespace
