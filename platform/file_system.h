#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dravik {

enum class EntryKind { File, Folder, Other };

/// One entry of a folder enumeration: the native name (no folder), what it is,
/// and for a file its size as the file system reported it.
struct DirEntry {
    std::string name;
    EntryKind kind = EntryKind::Other;
    std::uint64_t size = 0;
};

/// True when name ends in extension (".rpm"), compared without regard to case.
bool extensionMatches(std::string_view name, std::string_view extension);

/// The order of enumeration: names compared after ASCII upper-casing, ties by
/// their native bytes.
bool enumerationLess(std::string_view a, std::string_view b);

/// The entries of folderText whose names end in extension, hidden entries
/// (names beginning with ".") left out, in the order of enumeration. A folder
/// text that is not an absolute path names no folder and gives no entries;
/// so does a folder that can't be read.
std::vector<DirEntry> listEntries(const std::string& folderText, std::string_view extension);

/// Like listEntries, plain files only (a link to a plain file counts as one).
std::vector<DirEntry> listFiles(const std::string& folderText, std::string_view extension);

/// folder, "/", name; no separator is doubled when folder ends with one.
std::string joinPath(std::string_view folder, std::string_view name);

/// The folder part of a path ("." when it has none) and the name part.
std::string folderOf(std::string_view path);
std::string nameOf(std::string_view path);

/// A plain file (or a link to one) exists at path.
bool isPlainFile(const std::string& path);

/// A folder (or a link to one) exists at path.
bool isFolder(const std::string& path);

/// Reads a file whole. Raises "Cannot open file "%s". %s" when it can't be
/// opened; the data is what was actually read.
std::string readWholeFile(const std::string& path);

/// A file opened for reading piece by piece; failures are worded by the
/// system's error number ("File not found", ...), a short read as "Read beyond
/// end of file". The file is released when the reader goes.
class PieceReader {
public:
    explicit PieceReader(const std::string& path);
    ~PieceReader();
    PieceReader(const PieceReader&) = delete;
    PieceReader& operator=(const PieceReader&) = delete;

    /// Exactly length bytes from offset.
    std::string read(std::int64_t offset, std::size_t length);

private:
    int fd_ = -1;
};

/// The process's current directory.
std::string currentDirectory();

/// Makes path the process's current directory; raises an InOutError.
void setCurrentDirectory(const std::string& path);

/// How a failure of writeFileSafely is worded: a file written whole raises
/// "Cannot create file "%s". %s" or "Stream write error"; a file written piece
/// by piece raises the error of the system's error number ("Disk full", ...).
enum class WriteStyle { Whole, Pieces };

/// Writes bytes to a new file beside path and renames it over path, so that a
/// failure leaves an earlier file as it was and no partial file behind. An
/// existing file keeps its permissions; a read-only one is not replaced.
void writeFileSafely(const std::string& path, std::string_view bytes, WriteStyle style);

/// True when name can be the name of a file on every desktop system: not
/// empty, not "." or "..", and free of separators, control characters and the
/// characters : * ? " < > |.
bool isValidFileName(std::string_view name);

/// Renames from to to, never replacing an existing file. Gives 0 on success,
/// else the system's error number (EEXIST when to exists).
int renameWithoutReplacing(const std::string& from, const std::string& to);

/// Reads a file whole into data, as readWholeFile does, reusing data's
/// storage: the bytes go straight into it, so a caller that reads many files
/// one after the other holds one buffer, not one per file.
void readWholeFileInto(const std::string& path, std::string& data);

} // namespace dravik
