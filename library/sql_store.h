#pragma once

#include "library/sql.h"
#include "library/store.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace dravik::library {

/// The store over one connection, in SQL that both engines run.
class SqlStore : public Store {
  public:
    /// Takes the connection and brings its library up to this program's schema.
    explicit SqlStore(std::unique_ptr<Connection> connection);

    std::string name() const override;
    std::int64_t put(const Snapshot& snapshot) override;
    std::optional<std::vector<StoredFile>> storedFiles(const std::string& path) override;
    std::vector<DriveSummary> list() override;
    std::vector<DriveSummary> lookUp(const DriveRef& ref) override;
    std::optional<Drive> drive(std::int64_t id) override;
    bool remove(std::int64_t id) override;
    std::vector<FoundDrive> find(const std::vector<FindTerm>& terms) override;
    std::vector<Donor> donors(const Snapshot& bench, const std::vector<std::string>& matchNames,
                              std::size_t limit) override;

  private:
    /// The ids of spellings in the phrase table, adding those it lacks.
    std::map<std::string, std::int64_t> phraseIds(const std::set<std::string>& spellings);
    std::vector<DriveSummary> summaries(std::string_view where, const std::vector<SqlValue>& params);

    std::unique_ptr<Connection> connection_;
};

/// The dialect's test that haystack holds needle, with the two put in.
std::string inContains(const Dialect& dialect, std::string_view haystack, std::string_view needle);

/// The match rows of a donor: for each name, the first bench and donor values
/// that agree (trimmed), else each side's first value of that name.
std::vector<DonorRow> compareMatchRows(const std::vector<StoredRow>& bench,
                                       const std::vector<StoredRow>& donor,
                                       const std::vector<std::string>& matchNames);

} // namespace dravik::library
