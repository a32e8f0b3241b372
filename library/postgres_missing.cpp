#include "library/engines.h"
#include "library/sql.h"

namespace dravik::library {

std::unique_ptr<Connection> connectPostgres(const std::string& url) {
    throw LibraryError("Library \"" + maskedUrl(url) + "\": this Dravik is built without PostgreSQL");
}

std::unique_ptr<Store> openPostgresStore(const std::string& url) {
    connectPostgres(url);
    return nullptr;
}

} // namespace dravik::library
