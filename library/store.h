#pragma once

#include "library/snapshot.h"
#include "platform/errors.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dravik::library {

/// A failure of the library: a file that is not a library, a library of a
/// newer program, a server that can't be reached or refuses the login, a
/// write that the disk or the file's mode refuses. The message names the
/// library (a server's URL with its password masked) and what went wrong; the
/// library is left as it was.
class LibraryError : public Error {
  public:
    using Error::Error;
};

/// One drive of the library as a list shows it. Texts are Windows-1251 bytes
/// as the rows hold them, but the path and the label, which are native.
struct DriveSummary {
    std::int64_t id = 0;
    /// The drive's folder, absolute and native.
    std::string path;
    std::string label;
    /// The values of the rows "Family", "Code FW", "Serial" and
    /// "PCBA Pn. IDE Label" (summaryRowNames()); empty where the drive has none.
    std::string family;
    std::string firmwareCode;
    std::string serial;
    std::string board;
    /// When the drive was first added and last replaced, in seconds since
    /// 1970-01-01 00:00 UTC.
    std::int64_t added = 0;
    std::int64_t updated = 0;

    bool operator==(const DriveSummary&) const = default;
};

/// A drive whole, as stored: its summary, its files and every row.
struct Drive {
    DriveSummary summary;
    std::vector<StoredFile> files;
    std::vector<StoredRow> rows;
};

/// Which drives a user names: by id, by folder, or by label.
struct DriveRef {
    enum class Kind { Id, Path, Label };
    Kind kind = Kind::Label;
    std::int64_t id = 0;
    /// The path (native; a relative one is read by storedPath) or label.
    std::string text;

    static DriveRef byId(std::int64_t id) { return {Kind::Id, id, {}}; }
    static DriveRef byPath(std::string path) { return {Kind::Path, 0, std::move(path)}; }
    static DriveRef byLabel(std::string label) { return {Kind::Label, 0, std::move(label)}; }
    /// A user's text: digits alone name an id, a text holding a separator (or
    /// "." and "..") a folder, anything else a label.
    static DriveRef parse(std::string_view text);
};

/// One condition of find, on the rows of a drive (Windows-1251).
struct FindTerm {
    /// Exact: a row's name and value equal these, blanks at either end of
    /// either side not counting ("NAME=VALUE"). Part: a row's name equals
    /// name (blanks at its ends not counting) and its value holds text
    /// without regard to case, by the Windows-1251 case folding ("NAME~TEXT";
    /// blanks at the ends of text don't count either).
    enum class Match { Exact, Part };
    std::string name;
    std::string text;
    Match match = Match::Exact;

    /// "NAME=VALUE" or "NAME~TEXT", split at the first "=" or "~"; raises a
    /// LibraryError ("A find term is NAME=VALUE or NAME~TEXT: ...") for a term
    /// with neither or with an empty name.
    static FindTerm parse(std::string_view term);

    bool operator==(const FindTerm&) const = default;
};

/// A drive that every term of a find holds for, with the rows that matched
/// a term, in the drive's own row order.
struct FoundDrive {
    DriveSummary drive;
    std::vector<StoredRow> rows;
};

/// One match row of a donor: the bench drive's value and the donor's (either
/// empty where that drive has no such row), and whether they agree (equal
/// once trimmed, present on both, and not blank).
struct DonorRow {
    std::string name;
    std::string benchValue;
    std::string donorValue;
    bool agrees = false;

    bool operator==(const DonorRow&) const = default;
};

/// A drive of the library ranked as a donor for the bench drive.
struct Donor {
    DriveSummary drive;
    /// How many match rows agree.
    std::size_t agreeing = 0;
    /// One per match name, in the order asked.
    std::vector<DonorRow> rows;
};

/// The rows that donors compare unless told others: the family, the firmware
/// code, the board number and configuration, the head-disk assembly and the
/// ROM's checksum, as the default settings name them.
const std::vector<std::string>& defaultMatchNames();

/// The row names whose values a DriveSummary shows: family, firmware code,
/// serial and board, in that order.
const std::vector<std::string>& summaryRowNames();

/// The library of drive folders. Every operation is one transaction: a
/// reader sees a drive whole, before or after a change, never half of it;
/// several processes may use one library at once. Failures raise a
/// LibraryError and change nothing.
class Store {
  public:
    virtual ~Store() = default;

    /// What the store is, for messages: the file's path, or the server's URL
    /// with its password masked.
    virtual std::string name() const = 0;

    /// Adds the drive of snapshot.path, or replaces it whole: its rows and
    /// files, its label (kept as stored when snapshot.label is empty; the
    /// folder's name for a new drive), and its time of update; its time of
    /// adding and its id stay. Gives the drive's id. A failure (a full disk
    /// too) leaves the earlier entry whole.
    virtual std::int64_t put(const Snapshot& snapshot) = 0;
    /// put for each of snapshots in turn, all in one transaction: either every
    /// drive goes in or, on a failure, none does and every earlier entry stays
    /// whole. Gives the drives' ids in the order of snapshots; a folder given
    /// twice is replaced by its later snapshot.
    virtual std::vector<std::int64_t> putAll(std::span<const Snapshot> snapshots) = 0;

    /// The files as stored for the drive at path (absolute, native); nothing
    /// when the library has no drive there.
    virtual std::optional<std::vector<StoredFile>> storedFiles(const std::string& path) = 0;
    /// storedFiles of many paths at once: each path the library has a drive
    /// at, with its files; a path it has none at is left out.
    virtual std::map<std::string, std::vector<StoredFile>>
    storedFilesOf(const std::vector<std::string>& paths) = 0;

    /// Every drive, ordered by id.
    virtual std::vector<DriveSummary> list() = 0;

    /// The drives that ref names (several only for a label that several share).
    virtual std::vector<DriveSummary> lookUp(const DriveRef& ref) = 0;

    /// The drive of id whole; nothing when there is none.
    virtual std::optional<Drive> drive(std::int64_t id) = 0;

    /// Removes the drive of id with its rows and files; false when there was none.
    virtual bool remove(std::int64_t id) = 0;

    /// The drives that every term holds for (each term by a row of its own,
    /// or the same row), ordered by id; no terms find nothing.
    virtual std::vector<FoundDrive> find(const std::vector<FindTerm>& terms) = 0;

    /// The library's drives ranked as donors for the bench drive: by how many
    /// of the rows named matchNames agree with the bench's (a row the bench
    /// drive lacks, or whose value is blank, agrees with none), most first,
    /// then by id; only drives with at least one agreeing row, at most limit
    /// of them. The drive of the
    /// bench's own folder (same path) is never its own donor.
    virtual std::vector<Donor> donors(const Snapshot& bench,
                                      const std::vector<std::string>& matchNames,
                                      std::size_t limit = 20) = 0;
};

/// Whether the library holds a drive for a folder, and with which files.
enum class StoredState {
    Absent,    ///< no drive at the folder, or no folder
    Changed,   ///< a drive whose files differ from the folder's
    Unchanged, ///< a drive of the folder's files as they are
};

/// The folder's state in the library: Unchanged when its ".rpm" and ".ldr"
/// files are the ones stored for its drive, by name, size and time of
/// change, so that its snapshot would be the same and adding it again can be
/// skipped without decoding. A relative folder is read from the current
/// directory.
StoredState storedState(Store& store, const std::string& folder);

/// storedState of each folder, with one question to the library for them
/// all. A folder whose path can't be made absolute counts as Absent: reading
/// it then says why.
std::vector<StoredState> storedStates(Store& store, const std::vector<std::string>& folders);

/// The drive that ref names: raises a LibraryError naming the library when
/// none does ("No drive ... in the library ...") or several share a label.
DriveSummary resolveOne(Store& store, const DriveRef& ref);

/// The path under which the library keeps the folder at path: the folder's
/// absolute path as snapshotFolder gives it when it exists, else path read
/// from the current directory (a folder that is gone can still be named).
std::string storedPath(const std::string& path);

/// Opens (creating when missing) the library that url names:
/// - empty: the user's library file, defaultLibraryPath();
/// - "postgresql://..." or "postgres://...": a PostgreSQL server, in libpq's
///   URI form; "connect_timeout=5" is added unless the URL sets one. A build
///   without PostgreSQL raises "... built without PostgreSQL";
/// - "sqlite:PATH", "file:PATH" or anything else: the SQLite file at PATH.
/// A new file is readable by its owner only (0600), and the folder the store
/// makes for it too (0700). An older library is upgraded in one transaction
/// per step; a library of a newer program is refused and left untouched.
std::unique_ptr<Store> openStore(const std::string& url);

/// The library to open, as openStore takes it: given (a "--library"
/// option), else what DRAVIK_LIBRARY names, else empty for the user's own.
std::string chosenLibraryUrl(const std::optional<std::string>& given = std::nullopt);

/// The user's library file: "library.sqlite" in dataFolder() (platform/).
/// Raises a LibraryError when the environment names no such folder.
std::string defaultLibraryPath();

/// url with the password of a server URL replaced by "****"; anything
/// else unchanged.
std::string maskedUrl(std::string_view url);

} // namespace dravik::library
