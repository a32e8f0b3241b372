#include "library/engines.h"

namespace dravik::library {

std::unique_ptr<Store> openSqliteStore(const std::string& path) {
    throw LibraryError("Cannot open the library " + path + ": the SQLite engine is not written yet");
}

} // namespace dravik::library
