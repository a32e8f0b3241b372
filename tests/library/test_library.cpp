#include "test_library.h"

#include "library/sql.h"
#include "platform/process.h"

#include <atomic>
#include <fstream>
#include <random>
#include <gtest/gtest.h>

namespace dravik::library::testing {
namespace {

std::string withDatabase(std::string url, const std::string& database) {
    const std::size_t start = url.find(":///") + 4;
    url.replace(start, url.find('?') - start, database);
    return url;
}

} // namespace

std::string serverUrl() {
    const std::string file = environmentVariable("DRAVIK_TEST_POSTGRES_URL_FILE");
    std::ifstream in(dravik::testing::fsPath(file));
    std::string url;
    std::getline(in, url);
    if (url.empty())
        throw std::runtime_error("no PostgreSQL server for the tests: run them through ctest, "
                                 "which starts one (tests/postgres_cluster.sh)");
    return url;
}

std::vector<std::string> engines() {
#ifdef DRAVIK_WITH_POSTGRESQL
    return {"SQLite", "PostgreSQL"};
#else
    return {"SQLite"};
#endif
}

TestLibrary::TestLibrary(const std::string& engine) {
    if (engine == "SQLite") {
        url_ = folder_.file("library.sqlite");
        return;
    }
    static std::atomic<int> count = 0;
    // Tests run in several processes at once: each takes databases of its own.
    static const unsigned process = std::random_device{}();
    database_ = "test_" + std::to_string(process) + "_" + std::to_string(count++);
    const std::string server = serverUrl();
    connectPostgres(server)->query("CREATE DATABASE " + database_, {});
    url_ = withDatabase(server, database_);
}

TestLibrary::~TestLibrary() {
    if (database_.empty())
        return;
    try {
        connectPostgres(serverUrl())->query("DROP DATABASE " + database_ + " WITH (FORCE)", {});
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
    }
}

Snapshot driveAt(const std::string& path,
                 std::initializer_list<std::pair<std::string, std::string>> rows, std::string label) {
    Snapshot snapshot{path, std::move(label), {{"pasport.rpm", 512, 1, std::string(64, '0')}}, {}};
    std::int64_t offset = 0;
    for (const auto& [name, value] : rows) {
        snapshot.rows.push_back({Block::Pasport, {}, name, value,
                                 StoredSource{"pasport.rpm", offset, value, "[2F] " + name + "=S0,8"}});
        offset += 8;
    }
    return snapshot;
}

} // namespace dravik::library::testing
