#pragma once

#include "library/store.h"

#include <memory>
#include <string>

// The two engines behind Store, for openStore and the engines' own tests.
namespace dravik::library {

/// The SQLite library file at path (native), created when missing.
std::unique_ptr<Store> openSqliteStore(const std::string& path);

/// The PostgreSQL server of a libpq URI; raises "... built without
/// PostgreSQL" in a build without libpq.
std::unique_ptr<Store> openPostgresStore(const std::string& url);

} // namespace dravik::library
