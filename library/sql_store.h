#pragma once

#include "library/sql.h"
#include "library/store.h"

#include <functional>
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
    std::vector<std::int64_t> putAll(std::span<const Snapshot> snapshots) override;
    std::optional<std::vector<StoredFile>> storedFiles(const std::string& path) override;
    std::map<std::string, std::vector<StoredFile>> storedFilesOf(const std::vector<std::string>& paths) override;
    std::vector<DriveSummary> list() override;
    std::vector<DriveSummary> lookUp(const DriveRef& ref) override;
    std::optional<Drive> drive(std::int64_t id) override;
    bool remove(std::int64_t id) override;
    std::vector<FoundDrive> find(const std::vector<FindTerm>& terms) override;
    std::vector<Donor> donors(const Snapshot& bench, const std::vector<std::string>& matchNames,
                              std::size_t limit) override;

  private:
    /// Calls each with every row of the drives of ids that meets condition
    /// (on the row r and its name n, taking conditionParams), with the
    /// drive's summary first, by drive and then in the drive's order.
    void eachRowOfDrives(const std::vector<std::int64_t>& ids, const std::string& condition,
                         const std::vector<SqlValue>& conditionParams,
                         const std::function<void(const SqlRow&)>& each);
    /// The condition that a row r has the name whose trimmed key is the
    /// next parameter.
    std::string rowNamed() const;
    /// Adds or replaces the drive of snapshot within the open transaction.
    std::int64_t putWithin(const Snapshot& snapshot);
    /// Puts the ids of spellings in the phrase table into batchPhrases_,
    /// adding the phrases it lacks; within putAll's transaction.
    void learnPhrases(const std::set<std::string_view>& spellings);
    /// The id of a spelling that learnPhrases has met; NULL for none.
    SqlValue phraseId(std::string_view spelling, bool present = true) const;
    std::vector<DriveSummary> summaries(std::string_view where, const std::vector<SqlValue>& params);
    /// Inserts count rows of width values into what into names ("table
    /// (columns)"), as many a statement as the dialect's rowsPerInsert and
    /// the engines' limit of parameters allow; valuesOf appends row i's values.
    void insertInChunks(std::string_view into, std::size_t width, std::size_t count,
                        const std::function<void(std::size_t, std::vector<SqlValue>&)>& valuesOf);

    std::unique_ptr<Connection> connection_;
    /// The ids of the phrases that the open transaction of putAll has met.
    std::map<std::string, std::int64_t, std::less<>> batchPhrases_;
};

/// A dialect's form ("{0} IN ({1})") with its two parts put in.
std::string filledIn(std::string_view form, std::string_view first, std::string_view second);

/// The ids of at most limit drives with the most agreements, (drive id, match
/// name's number) pairs counted once each; ties by id.
std::vector<std::int64_t> rankedByAgreement(std::vector<std::pair<std::int64_t, std::int64_t>> agreements,
                                            std::size_t limit);

/// The match rows of a donor: for each name, the first bench and donor values
/// that agree (trimmed), else each side's first value of that name.
std::vector<DonorRow> compareMatchRows(const std::vector<StoredRow>& bench,
                                       const std::vector<StoredRow>& donor,
                                       const std::vector<std::string>& matchNames);

} // namespace dravik::library
