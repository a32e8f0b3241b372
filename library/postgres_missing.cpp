#include "library/engines.h"

namespace dravik::library {

std::unique_ptr<Store> openPostgresStore(const std::string& url) {
    throw LibraryError("Cannot open the library " + maskedUrl(url) +
                       ": this Dravik is built without PostgreSQL");
}

} // namespace dravik::library
