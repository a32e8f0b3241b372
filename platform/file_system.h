#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dravik {

enum class EntryKind { File, Folder, Other };

/// One entry of a folder enumeration: the native name (no folder), what it is,
/// and for a file its size and time of change as the file system reported them.
struct DirEntry {
    std::string name;
    EntryKind kind = EntryKind::Other;
    std::uint64_t size = 0;
    /// For a file, its time of change as FileStamp gives it.
    std::int64_t modified = 0;
};

/// True when name ends in extension (".rpm"), compared without regard to case.
bool extensionMatches(std::string_view name, std::string_view extension);

/// The order of enumeration: names compared after ASCII upper-casing, ties by
/// their native bytes.
bool enumerationLess(std::string_view a, std::string_view b);

/// A name with its ASCII letters upper-cased: keys compared by their bytes,
/// ties by the names' own bytes, give the order of enumerationLess.
std::string enumerationKey(std::string_view name);

/// What a list function makes of a folder that is there but can't be read
/// (no permission, an input/output error): no entries, or an InOutError of the
/// system's text ("File access denied"). A folder that is not there gives no
/// entries either way.
enum class Unreadable { NoEntries, Raise };

/// The entries of folderText whose names end in extension, hidden entries left
/// out, in the order of enumeration. Hidden are, on Windows, entries with the
/// hidden or the system attribute, where the system's own order holds; on
/// Linux, names beginning with ".", in the order of enumerationLess. A folder
/// text that is not an absolute path names no folder and gives no entries;
/// so does a folder that can't be read, unless unreadable says to raise. Links
/// are followed: a link to a plain file is a file, a link to nothing is
/// neither file nor folder.
std::vector<DirEntry> listEntries(const std::string& folderText, std::string_view extension,
                                  Unreadable unreadable = Unreadable::NoEntries);

/// Like listEntries, plain files only (a link to a plain file counts as one).
std::vector<DirEntry> listFiles(const std::string& folderText, std::string_view extension,
                                Unreadable unreadable = Unreadable::NoEntries);

/// listFiles of several extensions in one reading of the folder: the files
/// whose names end in any of them.
std::vector<DirEntry> listFiles(const std::string& folderText,
                                std::initializer_list<std::string_view> extensions,
                                Unreadable unreadable = Unreadable::NoEntries);

/// The plain files of folderText whose whole name equals name without regard
/// to case, in the order of enumeration.
std::vector<DirEntry> listFilesNamed(const std::string& folderText, std::string_view name);

/// folder, the separator ("\" on Windows, "/" elsewhere), name; no separator
/// is doubled when folder ends with one.
std::string joinPath(std::string_view folder, std::string_view name);

/// The folder part of a path ("." when it has none) and the name part. On
/// Windows both "\" and "/" separate, and a drive root keeps its backslash
/// ("C:\" for "C:\x.ldr").
std::string folderOf(std::string_view path);
std::string nameOf(std::string_view path);

/// The path that path names when read from folder: path itself when it is
/// absolute, else folder joined with it. On Windows "\x" is the root of
/// folder's drive and "d:x" is x in the current folder of drive D:.
std::string resolvePath(std::string_view folder, std::string_view path);

/// The folder that holds folder; nothing for a root (where the computer level
/// lies above) or for a text that is not an absolute path.
std::optional<std::string> parentFolder(std::string_view folder);

/// Whether two folder texts that the system gave name the same folder: their
/// letters compared without regard to case on Windows, exactly elsewhere.
bool sameFolder(std::string_view a, std::string_view b);

/// The folder that the system keeps as current for a drive ("c:"): on Windows
/// that drive's current folder; on Linux, with its one root, the process's
/// current directory.
std::string currentFolderOfDrive(char driveLetter);

/// The folder that path names from the current directory, as a folder
/// selector gives it: absolute, without "." or ".." steps or doubled
/// separators, and without a separator at its end but a root's own ("/",
/// "C:\"); links are kept as named. Raises "Cannot open folder "%s". %s",
/// naming path as given, with the system's text when nothing is there (an
/// empty path included) or what is there is no folder.
std::string absoluteFolder(const std::string& path);

/// Something exists at path, links followed.
bool pathExists(const std::string& path);

/// A plain file (or a link to one) exists at path.
bool isPlainFile(const std::string& path);

/// A folder (or a link to one) exists at path.
bool isFolder(const std::string& path);

/// Something exists at path, a link to nothing included: links are not followed.
bool entryExists(const std::string& path);

/// The size of the plain file at path, links followed; nothing when there is
/// no plain file there or its size can't be told.
std::optional<std::uint64_t> fileSize(const std::string& path);

/// What the file system tells of a plain file: its size and the time of its
/// last change, in the system's own units (nanoseconds on Linux, 100
/// nanoseconds on Windows); two stamps that differ tell a changed file.
struct FileStamp {
    std::int64_t size = 0;
    std::int64_t modified = 0;

    bool operator==(const FileStamp&) const = default;
};

/// The stamp of the plain file at path (links followed); nothing when there
/// is no plain file there.
std::optional<FileStamp> plainFileStamp(const std::string& path);

/// Reads a file whole. Raises "Cannot open file "%s". %s" when it can't be
/// opened; a folder gives the system's text for a folder, anything else that
/// is not a plain file (a pipe, a device) counts as not there. Nothing blocks:
/// the file is opened without waiting and checked on its descriptor. The data
/// is what was actually read, also when the file grows or shrinks meanwhile.
std::string readWholeFile(const std::string& path);

/// The same into a buffer the caller reuses; its earlier content is replaced.
void readWholeFile(const std::string& path, std::string& into);

/// Reads a plain file whole into into and gives true; gives false, leaving
/// into empty, when there is no file at path or what is there is not a plain
/// file. Any other failure raises "Cannot open file "%s". %s".
bool readPlainFile(const std::string& path, std::string& into);

/// The same, with the file's stamp as the open file told it before it was read.
bool readPlainFile(const std::string& path, std::string& into, FileStamp& stamp);
/// Reads a plain file as readPlainFile does, but a buffer's worth of bytes at
/// a time, each piece handed to take in order: the memory used stays the same
/// whatever the file's size. buffer is not empty.
bool readPlainFileInPieces(const std::string& path, std::span<char> buffer,
                           const std::function<void(std::string_view)>& take);

/// A file opened for reading piece by piece; failures are worded by the
/// system's error number ("File not found", ...), a short read as "Read beyond
/// end of file". The file is released when the reader goes.
class PieceReader {
  public:
    /// Opens path without blocking; what is not a plain file counts as not
    /// there ("File not found").
    explicit PieceReader(const std::string& path);
    ~PieceReader();
    PieceReader(PieceReader&& other) noexcept;
    PieceReader& operator=(PieceReader&& other) noexcept;

    /// Opens path; gives nothing when what is there is not a plain file, so
    /// that a listed file replaced by a pipe or a device counts as not listed.
    /// Any other failure raises as the constructor does.
    static std::optional<PieceReader> openIfPlain(const std::string& path);

    /// Opens the plain file at path to read places of it, failing as
    /// readPlainFile does: nothing when there is no plain file at path,
    /// "Cannot open file "%s". %s" when it can't be opened.
    static std::optional<PieceReader> openPlain(const std::string& path);

    /// Exactly length bytes from offset.
    std::string read(std::int64_t offset, std::size_t length);

    /// Up to length bytes from offset: fewer where the file ends first.
    std::string readUpTo(std::int64_t offset, std::size_t length);

    /// The open file's stamp: as the system told it at opening where opening
    /// asks for it (POSIX), else asked for now.
    FileStamp stamp() const;

  private:
#ifdef _WIN32
    using Handle = void*;
    static constexpr Handle kNoHandle = nullptr;
#else
    using Handle = int;
    static constexpr Handle kNoHandle = -1;
#endif
    explicit PieceReader(Handle handle, std::optional<FileStamp> opened = std::nullopt)
        : handle_(handle), opened_(opened) {}

    Handle handle_ = kNoHandle;
    std::optional<FileStamp> opened_;
};

/// The process's current directory.
std::string currentDirectory();

/// Makes path the process's current directory; raises an InOutError. On
/// Windows a drive alone ("c:") enters that drive's current folder.
void setCurrentDirectory(const std::string& path);

/// Makes folder (absolute) and the folders above it that are missing, from
/// the top down, each open to its user only. Raises "Cannot create folder
/// "%s". %s" naming folder.
void makeFolders(const std::string& folder);

/// Makes an empty file at path that only its owner may read and write (on
/// Windows: with the security of its folder, which the user's own folders
/// keep to the user) and gives true; gives false when something is there
/// already, which is left as it was. Raises "Cannot create file "%s". %s".
bool createPrivateFile(const std::string& path);

/// Makes folder the current directory; raises "Cannot open folder "%s". %s".
void enterFolder(const std::string& folder);

/// Makes a new folder that only the user may enter under the system's folder
/// for temporary files, its name beginning with prefix, and gives its path.
/// Raises "Cannot create file "%s". %s" when none can be made.
std::string makeTemporaryFolder(std::string_view prefix);

/// Removes file, then folder once it is empty; what is not there is passed over.
void removeFileAndFolder(const std::string& file, const std::string& folder);

/// How a failure of writeFileSafely is worded: a file written whole raises
/// "Cannot create file "%s". %s" or "Stream write error"; a file written piece
/// by piece raises the error of the system's error number ("Disk full", ...).
enum class WriteStyle { Whole, Pieces };

/// Where writeFileSafely keeps the new file until it takes the target's place.
/// Unnamed: a file without a name, which a kill takes away with it, named only
/// just before the rename; where the file system has no such files, the named
/// one. Named: a file with a short name of its own from the start.
enum class TemporaryFile { Unnamed, Named };

/// What writeFileSafely does with a link at path: write through it to what it
/// finally names (a settings file that users link on purpose to share it), or
/// replace the link by the new file and leave what it names as it was (an
/// output that the program makes in a folder, which must not reach through a
/// link into another place).
enum class AtLink { WriteThrough, Replace };

/// Writes bytes as the file at path, as safely as the target allows.
///
/// A link at path is replaced by a new file when atLink says so, whatever it
/// leads to; a folder that takes no new file then fails the write. Otherwise
/// links are followed to what they finally name. When that is a plain file
/// with a single name, or nothing yet (a link to nothing creates its target),
/// the bytes go to a temporary file in the same folder that then replaces the
/// target in one rename: a failure or a kill leaves the earlier file as it
/// was, and the new file keeps the earlier one's mode, owner and group (on
/// Windows ReplaceFileW keeps its attributes and security). What
/// can't be replaced that way is written in place, as a plain create would
/// (a plain file truncated first): a pipe (only while a reader has it open; without one the
/// write fails at once rather than wait), a device, a file with several hard
/// links (so that every name keeps showing it), and a writable file whose
/// folder takes no new file or whose owner and group the new file could not
/// take over. A plain file without any write bit is read-only for everyone,
/// root included: it is left alone and the write fails with the system's text
/// for a denied access.
///
/// On Windows the temporary file has a name from the start, ReplaceFileW puts
/// it in the target's place (MoveFileExW where there is no target yet or the
/// file system can't replace), a file with the read-only attribute is the file
/// without write bits, and a target that another program holds open so that
/// it can't be replaced is written in place when that program lets it be. A
/// link is a symbolic link or a junction; one to nothing is replaced by the
/// file rather than given a target.
void writeFileSafely(const std::string& path, std::string_view bytes, WriteStyle style,
                     TemporaryFile temporary = TemporaryFile::Unnamed,
                     AtLink atLink = AtLink::WriteThrough);

/// True when name can be the name of a file on every desktop system: not
/// empty, not "." or "..", and free of separators, control characters and the
/// characters : * ? " < > |.
bool isValidFileName(std::string_view name);

/// What runs with a file's path before the file layer opens it to read or to
/// write: nothing, unless a test sets a hook to plant a failure below a
/// command. A failure of the standard library that it or the reading raises
/// reaches the command as an error that names the file.
using FileHook = void (*)(const std::string& path);
void setFileHook(FileHook hook);

/// Renames from to to, never replacing an existing file. Gives 0 on success,
/// else the system's error number (kErrorFileExists when to exists).
int renameWithoutReplacing(const std::string& from, const std::string& to);

} // namespace dravik
