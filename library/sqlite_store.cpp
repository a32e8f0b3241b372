#include "library/engines.h"
#include "library/sql.h"
#include "library/sql_store.h"
#include "platform/errors.h"
#include "platform/file_system.h"

#include <functional>
#include <map>
#include <sqlite3.h>

namespace dravik::library {
namespace {

constexpr Dialect kSqlite = {"BLOB", "INTEGER PRIMARY KEY", "INTEGER", " WITHOUT ROWID",
                             "instr({0}, {1}) > 0", "{0} IN ({1})", 1};

// A writer waits this long for another one to finish before it gives up.
constexpr int kBusyTimeoutMs = 30000;

// At most this many prepared statements are kept for reuse.
constexpr std::size_t kKeptStatements = 64;

class SqliteConnection : public Connection {
  public:
    explicit SqliteConnection(std::string path) : name_(std::move(path)) {
        // A connection serves one thread at a time (a store is never shared
        // by threads at once), so SQLite's own locks on it would be spent.
        const int opened =
            sqlite3_open_v2(name_.c_str(), &db_,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
        if (opened != SQLITE_OK) {
            const std::string text = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(opened);
            sqlite3_close_v2(db_);
            throw LibraryError("Library \"" + name_ + "\": " + text);
        }
        try {
            configure();
        } catch (...) {
            close();
            throw;
        }
    }

    ~SqliteConnection() override { close(); }

    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    const std::string& name() const override { return name_; }
    const Dialect& dialect() const override { return kSqlite; }

    void each(std::string_view sql, const std::vector<SqlValue>& params,
              const std::function<void(const SqlRow&)>& take) override {
        sqlite3_stmt* statement = prepared(sql);
        // The values are bound where they are, not copied: params outlive
        // the statement's run, and the bindings are cleared after it.
        for (std::size_t i = 0; i < params.size(); ++i) {
            const int at = static_cast<int>(i + 1);
            if (const auto* number = std::get_if<std::int64_t>(&params[i]))
                sqlite3_bind_int64(statement, at, *number);
            else if (const auto* bytes = std::get_if<std::string>(&params[i]))
                sqlite3_bind_blob64(statement, at, bytes->data(), bytes->size(), SQLITE_STATIC);
            else
                sqlite3_bind_null(statement, at);
        }
        SqlRow row(static_cast<std::size_t>(sqlite3_column_count(statement)));
        int step = SQLITE_ROW;
        try {
            while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
                for (std::size_t column = 0; column < row.size(); ++column)
                    row[column] = valueOf(statement, static_cast<int>(column));
                take(row);
            }
        } catch (...) {
            sqlite3_reset(statement);
            sqlite3_clear_bindings(statement);
            throw;
        }
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        if (step != SQLITE_DONE)
            fail(step);
    }

    void begin(bool write) override {
        // Readers and a writer at once: the first write puts the file in
        // write-ahead mode, which it keeps. Until then nothing is written, so
        // that a library refused on opening is left as it was.
        if (write && !writeAhead_) {
            query("PRAGMA journal_mode = WAL", {});
            writeAhead_ = true;
        }
        query(write ? "BEGIN IMMEDIATE" : "BEGIN", {});
    }
    void commit() override { query("COMMIT", {}); }
    void rollback() noexcept override { sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr); }

    std::vector<std::string> tables() override {
        std::vector<std::string> names;
        for (const SqlRow& row : query("SELECT name FROM sqlite_master WHERE type = 'table'", {}))
            names.push_back(bytesOf(row[0]));
        return names;
    }

  private:
    void configure() {
        sqlite3_extended_result_codes(db_, 1);
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        query("PRAGMA synchronous = NORMAL", {});
        // Find and donors sort and group in memory, over a cache that holds
        // the indexes of a shop's library.
        query("PRAGMA temp_store = MEMORY", {});
        query("PRAGMA cache_size = -65536", {});
    }

    void finalizeStatements() noexcept {
        for (auto& [sql, statement] : statements_)
            sqlite3_finalize(statement);
        statements_.clear();
    }

    void close() noexcept {
        finalizeStatements();
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }

    sqlite3_stmt* prepared(std::string_view sql) {
        const std::string key(sql);
        if (const auto kept = statements_.find(key); kept != statements_.end())
            return kept->second;
        if (statements_.size() >= kKeptStatements)
            finalizeStatements();
        sqlite3_stmt* statement = nullptr;
        const int prepared = sqlite3_prepare_v2(db_, key.c_str(), static_cast<int>(key.size() + 1),
                                                &statement, nullptr);
        if (prepared != SQLITE_OK)
            fail(prepared);
        statements_.emplace(key, statement);
        return statement;
    }

    static SqlValue valueOf(sqlite3_stmt* statement, int column) {
        switch (sqlite3_column_type(statement, column)) {
        case SQLITE_NULL:
            return nullptr;
        case SQLITE_INTEGER:
            return static_cast<std::int64_t>(sqlite3_column_int64(statement, column));
        default: {
            const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, column));
            return std::string(data ? data : "", static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
        }
        }
    }

    // The failure in the library's words: what the file is, what the disk
    // or the file's mode refused, else SQLite's own text.
    [[noreturn]] void fail(int code) {
        const int errorNumber = sqlite3_system_errno(db_);
        std::string text = sqlite3_errmsg(db_);
        switch (code & 0xff) {
        case SQLITE_NOTADB:
            text = "not a library file (" + text + ")";
            break;
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
            text = "the library is read-only here (" + text + ")";
            break;
        case SQLITE_FULL:
        case SQLITE_IOERR:
            if (errorNumber != 0)
                text += ": " + systemErrorText(errorNumber);
            break;
        default:
            break;
        }
        throw LibraryError("Library \"" + name_ + "\": " + text);
    }

    std::string name_;
    sqlite3* db_ = nullptr;
    bool writeAhead_ = false;
    std::map<std::string, sqlite3_stmt*, std::less<>> statements_;
};

} // namespace

std::unique_ptr<Connection> connectSqlite(const std::string& path) {
    try {
        const std::string folder = resolvePath(currentDirectory(), folderOf(path));
        if (!isFolder(folder))
            makeFolders(folder);
        // A library holds customers' serials: its owner's alone. SQLite's
        // -wal and -shm files take the database's mode.
        createPrivateFile(path);
    } catch (const LibraryError&) {
        throw;
    } catch (const Error& error) {
        throw LibraryError("Library \"" + path + "\": " + error.message());
    }
    return std::make_unique<SqliteConnection>(path);
}

std::unique_ptr<Store> openSqliteStore(const std::string& path) {
    return std::make_unique<SqlStore>(connectSqlite(path));
}

} // namespace dravik::library
