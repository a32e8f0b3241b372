#include "library/engines.h"

namespace dravik::library {

std::unique_ptr<Store> openPostgresStore(const std::string& url) {
    throw LibraryError("Cannot open the library " + maskedUrl(url) +
                       ": the PostgreSQL engine is not written yet");
}

} // namespace dravik::library
