#include "platform/file_system.h"

#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system_parts.h"
#include "platform/win32_text.h"

#include <algorithm>
#include <utility>

namespace dravik {
namespace {

using parts::Wanted;
using parts::WriteFailure;

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool isDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// "C:" at the start of path.
bool hasDrive(std::string_view path) {
    return path.size() >= 2 && isDriveLetter(path[0]) && path[1] == ':';
}

// A path that names the same place from any current folder: a drive root and
// what lies under it ("C:\x"), or a network path ("\\server\share\x").
bool isAbsolute(std::string_view path) {
    return (hasDrive(path) && path.size() >= 3 && isSeparator(path[2])) ||
           (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]));
}

// A drive root ("C:\") or the root of a network share ("\\server\share").
bool isRoot(std::string_view folder) {
    if (folder.size() == 3 && hasDrive(folder))
        return isSeparator(folder[2]);
    if (folder.size() < 2 || !isSeparator(folder[0]) || !isSeparator(folder[1]))
        return false;
    const std::string_view share = folder.substr(2);
    const std::size_t separator = share.find_first_of("\\/");
    return separator != std::string_view::npos && separator > 0 &&
           share.find_first_of("\\/", separator + 1) == std::string_view::npos;
}

// Where the last component of path begins.
std::size_t nameStart(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    if (separator != std::string_view::npos)
        return separator + 1;
    return hasDrive(path) ? 2 : 0;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

struct Handle {
    HANDLE handle;
    explicit Handle(HANDLE h) : handle(h) {}
    ~Handle() {
        if (valid())
            ::CloseHandle(handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
};

// A file's time of change in 100-nanosecond steps, as FileStamp keeps it.
std::int64_t modifiedOf(const FILETIME& time) {
    return static_cast<std::int64_t>((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

// What a path names, links followed: opened for its attributes alone, which
// another program's sharing never refuses.
struct FileFacts {
    bool exists = false;
    /// Why there is nothing, when there is nothing.
    DWORD error = 0;
    DWORD type = FILE_TYPE_UNKNOWN;
    BY_HANDLE_FILE_INFORMATION info{};

    bool isFolder() const { return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool isPlainFile() const { return exists && type == FILE_TYPE_DISK && !isFolder(); }
    std::uint64_t size() const {
        return (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    }
};

FileFacts factsOf(const std::wstring& path) {
    FileFacts facts;
    Handle file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) {
        facts.error = ::GetLastError();
        return facts;
    }
    facts.exists = true;
    facts.type = ::GetFileType(file.handle);
    if (facts.type == FILE_TYPE_DISK && !::GetFileInformationByHandle(file.handle, &facts.info))
        facts.type = FILE_TYPE_UNKNOWN;
    return facts;
}

FileFacts factsOf(const std::string& path) {
    if (path.empty())
        return {};
    return factsOf(nativePath(path));
}

// A folder can't be opened as a file: the system then denies the access.
bool isFolderRefused(DWORD error, const std::string& path) {
    return error == ERROR_ACCESS_DENIED && isFolder(path);
}

} // namespace

// The enumeration behind the list functions: the entries that match the folder
// text followed by "\" and pattern, in the system's order, hidden and system
// entries left out, those whose names pass nameMatches kept.
std::vector<DirEntry> parts::enumerate(const std::string& folderText, std::string_view pattern,
                                       Wanted wanted,
                                       const std::function<bool(std::string_view)>& nameMatches,
                                       Unreadable unreadable) {
    std::vector<DirEntry> entries;
    if (!isAbsolute(folderText))
        return entries;
    const std::wstring folder = nativePath(folderText);
    const std::wstring search = nativePath(folderText + "\\" + std::string(pattern));
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileExW(search.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                     nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        // No match, or no folder there, lists nothing; a folder that can't be
        // read may say why.
        const DWORD error = ::GetLastError();
        if (unreadable == Unreadable::Raise && error != ERROR_FILE_NOT_FOUND &&
            error != ERROR_PATH_NOT_FOUND && error != ERROR_DIRECTORY)
            throw inOutError(static_cast<int>(error));
        return entries;
    }
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            continue;
        std::string name = fromWide(found.cFileName);
        if (name == "." || name == ".." || !nameMatches(name))
            continue;
        DirEntry entry;
        entry.name = std::move(name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            // A link: what it names decides.
            const std::wstring linked =
                folder + (folder.ends_with(L'\\') ? L"" : L"\\") + found.cFileName;
            const FileFacts facts = factsOf(linked);
            if (facts.exists && facts.type == FILE_TYPE_DISK)
                entry.kind = facts.isFolder() ? EntryKind::Folder : EntryKind::File;
            if (entry.kind == EntryKind::File) {
                entry.size = facts.size();
                entry.modified = modifiedOf(facts.info.ftLastWriteTime);
            }
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            entry.kind = EntryKind::Folder;
        } else {
            entry.kind = EntryKind::File;
            entry.size = (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
            entry.modified = modifiedOf(found.ftLastWriteTime);
        }
        if (wanted == Wanted::Files && entry.kind != EntryKind::File)
            continue;
        entries.push_back(std::move(entry));
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    return entries;
}

namespace {

// Opens path for reading; gives an invalid handle with the error in error.
// What is not a disk file (a device, a pipe) is closed again at once and
// counts as not there, so nothing waits on it.
HANDLE openForReading(const std::string& path, DWORD& error) {
    HANDLE file = parts::namingFile(path, false, [&] {
        return ::CreateFileW(nativePath(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    });
    if (file == INVALID_HANDLE_VALUE) {
        error = ::GetLastError();
        return file;
    }
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        ::CloseHandle(file);
        error = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

// Reads file to its end into into; gives 0 or the system's error number.
DWORD readToEnd(const std::string& path, HANDLE file, std::string& into) {
    LARGE_INTEGER reported{};
    ::GetFileSizeEx(file, &reported);
    // One byte more than reported shows at once a file that has grown.
    parts::namingFile(path, false, [&] {
        into.resize(static_cast<std::size_t>(std::max<LONGLONG>(reported.QuadPart, 0)) + 1);
    });
    std::size_t done = 0;
    for (;;) {
        if (done == into.size())
            parts::namingFile(path, false, [&] {
                into.resize(into.size() + std::max<std::size_t>(into.size(), 65536));
            });
        const DWORD wanted =
            static_cast<DWORD>(std::min<std::size_t>(into.size() - done, 1u << 30));
        DWORD n = 0;
        if (!::ReadFile(file, into.data() + done, wanted, &n, nullptr)) {
            const DWORD error = ::GetLastError();
            into.clear();
            return error;
        }
        if (n == 0)
            break;
        done += n;
    }
    into.resize(done);
    return 0;
}

// Writes all of bytes to file; gives 0 or the system's error number.
DWORD writeAll(HANDLE file, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD wanted =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD n = 0;
        if (!::WriteFile(file, bytes.data() + done, wanted, &n, nullptr))
            return ::GetLastError();
        done += n;
    }
    return 0;
}

std::wstring folderOfNative(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L'\\');
    std::wstring folder = path.substr(0, separator == std::wstring::npos ? 0 : separator);
    // A drive root keeps its backslash.
    if (folder.size() == 2 && folder[1] == L':')
        folder += L'\\';
    return folder;
}

// A new file in a folder, removed unless it took the target's place.
class NewFile {
  public:
    // Makes the file in folder; gives false with the system's error number.
    bool create(const std::wstring& folder, DWORD& error) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::wstring path = shortName(folder, attempt);
            // Plain attributes: the file keeps them when it takes a new name.
            file_ = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file_ != INVALID_HANDLE_VALUE) {
                path_ = std::move(path);
                return true;
            }
            error = ::GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
                return false;
        }
        return false;
    }

    ~NewFile() {
        close();
        if (!path_.empty())
            ::DeleteFileW(path_.c_str());
    }

    HANDLE handle() const { return file_; }
    const std::wstring& path() const { return path_; }

    // Writes the data through to the disk and closes the file; gives 0 or the
    // system's error number.
    DWORD finish() {
        const DWORD error = ::FlushFileBuffers(file_) ? 0 : ::GetLastError();
        close();
        return error;
    }

    // The file took the target's place: nothing to remove.
    void published() { path_.clear(); }

    // A short name of our own in folder: the new file's, or the one under
    // which ReplaceFileW keeps the target until the new file has its name.
    static std::wstring shortName(const std::wstring& folder, int attempt) {
        static unsigned counter = 0;
        return folder + (folder.ends_with(L'\\') ? L"" : L"\\") + L".dravik-" +
               std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) + L"-" +
               std::to_wstring(attempt) + L".tmp";
    }

  private:
    void close() {
        if (file_ != INVALID_HANDLE_VALUE)
            ::CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }

    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::wstring path_;
};

// Opens target as it stands and writes bytes over its content.
void writeInPlace(const std::wstring& target, std::string_view bytes, const WriteFailure& fail) {
    Handle file(::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.valid())
        fail.create(::GetLastError());
    if (::GetFileType(file.handle) == FILE_TYPE_DISK && !::SetEndOfFile(file.handle))
        fail.create(::GetLastError());
    if (const DWORD error = writeAll(file.handle, bytes); error != 0)
        fail.write(error);
}

// The target, a plain file with the given attributes or nothing yet, gets
// bytes through a new file in its folder that then takes its place. Gives
// false, having changed nothing, when an existing target can't be replaced
// that way (its folder takes no new file, or another program holds it open):
// it is then to be written in place.
bool replaceWithNewFile(const std::wstring& target, std::string_view bytes,
                        std::optional<DWORD> attributes, const WriteFailure& fail) {
    const bool exists = attributes.has_value();
    NewFile file;
    DWORD error = 0;
    if (!file.create(folderOfNative(target), error)) {
        if (exists && error == ERROR_ACCESS_DENIED)
            return false;
        fail.create(error);
    }
    if (error = writeAll(file.handle(), bytes); error == 0)
        error = file.finish();
    if (error != 0)
        fail.write(error);
    // The new file shows as the earlier one did (hidden, say), whatever
    // ReplaceFileW itself takes over.
    constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (exists && (*attributes & kKeptAttributes) != 0)
        ::SetFileAttributesW(file.path().c_str(), *attributes & kKeptAttributes);

    constexpr DWORD kMoveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (!exists) {
        if (!::MoveFileExW(file.path().c_str(), target.c_str(), kMoveFlags))
            fail.create(::GetLastError());
        file.published();
        return true;
    }
    // The earlier file is kept under a backup name until the new one has its
    // name, so that a replacement that fails halfway can be undone.
    const std::wstring backup = NewFile::shortName(folderOfNative(target), 0);
    if (::ReplaceFileW(target.c_str(), file.path().c_str(), backup.c_str(),
                       REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                       nullptr)) {
        file.published();
        ::DeleteFileW(backup.c_str());
        return true;
    }
    switch (error = ::GetLastError()) {
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
        // The earlier file went to the backup name and the new one could not
        // take its place: the earlier one gets its name back.
        ::MoveFileExW(backup.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
        return false;
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_ACCESS_DENIED:
        return false;
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_PARAMETER:
        // A file system that can't replace: one rename over the target.
        if (!::MoveFileExW(file.path().c_str(), target.c_str(), kMoveFlags))
            return false;
        file.published();
        return true;
    default:
        fail.create(error);
    }
}

// The path that a link finally names, as the system gives it for an open file.
std::wstring finalPath(const std::wstring& path) {
    Handle file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid())
        return path;
    std::wstring named(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetFinalPathNameByHandleW(file.handle, named.data(),
                                                    static_cast<DWORD>(named.size()), 0);
        if (n == 0)
            return path;
        if (n < named.size()) {
            named.resize(n);
            return named;
        }
        named.resize(n);
    }
}

} // namespace

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || !isSeparator(path.back()))
        path += '\\';
    path += name;
    return path;
}

std::string folderOf(std::string_view path) {
    const std::size_t start = nameStart(path);
    if (start == 0)
        return ".";
    std::string_view folder = path.substr(0, start);
    // The separator before the name goes, unless it is the root's own.
    const bool root = folder.size() == 1 || (folder.size() == 3 && hasDrive(folder)) ||
                      !isSeparator(folder.back());
    if (!root)
        folder.remove_suffix(1);
    return std::string(folder);
}

std::string nameOf(std::string_view path) {
    return std::string(path.substr(nameStart(path)));
}

std::string resolvePath(std::string_view folder, std::string_view path) {
    if (isAbsolute(path))
        return std::string(path);
    if (!path.empty() && isSeparator(path.front())) {
        // The root of the folder's drive.
        return hasDrive(folder) ? std::string(folder.substr(0, 2)) + std::string(path)
                                : std::string(path);
    }
    if (hasDrive(path)) {
        // "d:x": x in the current folder of drive D:, which for the folder's
        // own drive is the folder.
        if (hasDrive(folder) && foldCase(folder[0]) == foldCase(path[0]))
            return joinPath(folder, path.substr(2));
        return joinPath(currentFolderOfDrive(path[0]), path.substr(2));
    }
    return joinPath(folder, path);
}

std::optional<std::string> parentFolder(std::string_view folder) {
    if (!isAbsolute(folder))
        return std::nullopt;
    while (folder.size() > 3 && isSeparator(folder.back()))
        folder.remove_suffix(1);
    if (isRoot(folder))
        return std::nullopt;
    return folderOf(folder);
}

bool sameFolder(std::string_view a, std::string_view b) {
    const std::wstring wideA = toWide(a);
    const std::wstring wideB = toWide(b);
    return ::CompareStringOrdinal(wideA.c_str(), static_cast<int>(wideA.size()), wideB.c_str(),
                                  static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

namespace {

// The full path that the system makes of path ("." and ".." steps taken, "/"
// read as "\\", a separator given once), into folder, in the form the current
// directory has: a backslash at its end only for a root. 0, else the system's
// error number.
DWORD fullFolderPath(const std::wstring& path, std::wstring& folder) {
    folder.assign(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(folder.size()),
                                           folder.data(), nullptr);
        if (n == 0)
            return ::GetLastError();
        if (n < folder.size()) {
            folder.resize(n);
            while (folder.size() > 3 && folder.back() == L'\\')
                folder.pop_back();
            return 0;
        }
        folder.resize(n);
    }
}

} // namespace

std::string currentFolderOfDrive(char driveLetter) {
    std::wstring folder;
    if (const DWORD error = fullFolderPath({static_cast<wchar_t>(driveLetter), L':'}, folder))
        throw inOutError(static_cast<int>(error));
    return fromWide(folder);
}

std::string absoluteFolder(const std::string& path) {
    std::wstring full;
    DWORD error = path.empty() ? ERROR_FILE_NOT_FOUND : fullFolderPath(toWide(path), full);
    const std::string folder = fromWide(full);
    if (error == 0) {
        const FileFacts facts = factsOf(folder);
        if (!facts.exists)
            error = facts.error;
        else if (facts.type != FILE_TYPE_DISK || !facts.isFolder())
            error = ERROR_DIRECTORY;
    }
    if (error != 0)
        throw cannotOpenFolder(path, static_cast<int>(error));
    return folder;
}

bool pathExists(const std::string& path) {
    return factsOf(path).exists;
}

bool isPlainFile(const std::string& path) {
    return factsOf(path).isPlainFile();
}

namespace {

FileStamp stampOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return {static_cast<std::int64_t>((std::uint64_t{info.nFileSizeHigh} << 32) |
                                      info.nFileSizeLow),
            modifiedOf(info.ftLastWriteTime)};
}

} // namespace

std::optional<FileStamp> plainFileStamp(const std::string& path) {
    const FileFacts facts = factsOf(path);
    if (!facts.isPlainFile())
        return std::nullopt;
    return stampOf(facts.info);
}

bool isFolder(const std::string& path) {
    const FileFacts facts = factsOf(path);
    return facts.exists && facts.type == FILE_TYPE_DISK && facts.isFolder();
}

bool entryExists(const std::string& path) {
    return !path.empty() &&
           ::GetFileAttributesW(nativePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::uint64_t> fileSize(const std::string& path) {
    const FileFacts facts = factsOf(path);
    if (!facts.isPlainFile())
        return std::nullopt;
    return facts.size();
}

void readWholeFile(const std::string& path, std::string& into) {
    into.clear();
    DWORD error = 0;
    Handle file(openForReading(path, error));
    if (!file.valid())
        throw cannotOpenFile(path, static_cast<int>(error));
    if (error = readToEnd(path, file.handle, into); error != 0)
        throw inOutError(static_cast<int>(error));
}

namespace {

// Opens the plain file at path as a file that is read whole; an invalid
// handle when there is no plain file there.
HANDLE openPlainFile(const std::string& path) {
    DWORD error = 0;
    HANDLE file = openForReading(path, error);
    if (file == INVALID_HANDLE_VALUE && error != ERROR_FILE_NOT_FOUND &&
        error != ERROR_PATH_NOT_FOUND && !isFolderRefused(error, path))
        throw cannotOpenFile(path, static_cast<int>(error));
    return file;
}

} // namespace

bool readPlainFile(const std::string& path, std::string& into, FileStamp& stamp) {
    Handle file(parts::emptiedOnFailure(into, [&] { return openPlainFile(path); }));
    if (!file.valid()) {
        into.clear();
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.handle, &info))
        throw inOutError(static_cast<int>(::GetLastError()));
    stamp = stampOf(info);
    if (DWORD error = readToEnd(path, file.handle, into); error != 0)
        throw inOutError(static_cast<int>(error));
    return true;
}

bool readPlainFileInPieces(const std::string& path, std::span<char> buffer,
                           const std::function<void(std::string_view)>& take) {
    Handle file(openPlainFile(path));
    if (!file.valid())
        return false;
    const std::span<char> piece = buffer.first(std::min<std::size_t>(buffer.size(), 1u << 30));
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(file.handle, piece.data(), static_cast<DWORD>(piece.size()), &n, nullptr))
            throw inOutError(static_cast<int>(::GetLastError()));
        if (n == 0)
            return true;
        take(std::string_view(piece.data(), n));
    }
}

PieceReader::PieceReader(const std::string& path) {
    DWORD error = 0;
    HANDLE file = openForReading(path, error);
    if (file == INVALID_HANDLE_VALUE)
        throw inOutError(isFolderRefused(error, path) ? ERROR_FILE_NOT_FOUND
                                                      : static_cast<int>(error));
    handle_ = file;
}

std::optional<PieceReader> PieceReader::openIfPlain(const std::string& path) {
    HANDLE file = parts::namingFile(path, false, [&] {
        return ::CreateFileW(nativePath(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    });
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (isFolderRefused(error, path))
            return std::nullopt;
        throw inOutError(static_cast<int>(error));
    }
    PieceReader reader(file);
    if (::GetFileType(file) != FILE_TYPE_DISK)
        return std::nullopt;
    return reader;
}

std::optional<PieceReader> PieceReader::openPlain(const std::string& path) {
    HANDLE file = openPlainFile(path);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    return PieceReader(file);
}

PieceReader::~PieceReader() {
    if (handle_ != kNoHandle)
        ::CloseHandle(handle_);
}

std::string PieceReader::read(std::int64_t offset, std::size_t length) {
    std::string bytes = readUpTo(offset, length);
    if (bytes.size() < length)
        throw readBeyondEndOfFile();
    return bytes;
}

FileStamp PieceReader::stamp() const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle_, &info))
        throw inOutError(static_cast<int>(::GetLastError()));
    return stampOf(info);
}

std::string PieceReader::readUpTo(std::int64_t offset, std::size_t length) {
    std::string bytes(length, '\0');
    std::size_t done = 0;
    while (done < length) {
        const std::uint64_t at = static_cast<std::uint64_t>(offset) + done;
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(at);
        position.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(length - done, 1u << 30));
        DWORD n = 0;
        if (!::ReadFile(handle_, bytes.data() + done, wanted, &n, &position)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_HANDLE_EOF)
                break;
            throw inOutError(static_cast<int>(error));
        }
        if (n == 0)
            break;
        done += n;
    }
    bytes.resize(done);
    return bytes;
}

std::string currentDirectory() {
    std::wstring folder(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
        if (n == 0)
            throw inOutError(static_cast<int>(::GetLastError()));
        if (n < folder.size()) {
            folder.resize(n);
            return fromWide(folder);
        }
        folder.resize(n);
    }
}

void setCurrentDirectory(const std::string& path) {
    if (!::SetCurrentDirectoryW(nativePath(path).c_str()))
        throw inOutError(static_cast<int>(::GetLastError()));
}

void makeFolders(const std::string& folder) {
    std::vector<std::string> missing;
    for (std::optional<std::string> step = folder; step && !pathExists(*step);
         step = parentFolder(*step)) {
        // pathExists follows links: one to nowhere is there all the same.
        if (entryExists(*step))
            throw cannotCreateFolderAtLink(folder, *step);
        missing.push_back(*step);
    }
    for (auto step = missing.rbegin(); step != missing.rend(); ++step) {
        // A new folder takes the security of the user's own folder above it.
        if (!::CreateDirectoryW(nativePath(*step).c_str(), nullptr) &&
            (::GetLastError() != ERROR_ALREADY_EXISTS || !isFolder(*step)))
            throw cannotCreateFolder(folder, static_cast<int>(::GetLastError()));
    }
}

void enterFolder(const std::string& folder) {
    if (!::SetCurrentDirectoryW(nativePath(folder).c_str()))
        throw cannotOpenFolder(folder, static_cast<int>(::GetLastError()));
}

std::string makeTemporaryFolder(std::string_view prefix) {
    std::wstring temporary(MAX_PATH + 1, L'\0');
    const DWORD n = ::GetTempPathW(static_cast<DWORD>(temporary.size()), temporary.data());
    temporary.resize(n);
    const std::string base = joinPath(fromWide(temporary), prefix);
    DWORD error = ERROR_PATH_NOT_FOUND;
    for (int attempt = 0; n > 0 && attempt < 100; ++attempt) {
        const std::string folder = base + std::to_string(::GetCurrentProcessId()) + "-" +
                                   std::to_string(::GetTickCount64() % 1000000) + "-" +
                                   std::to_string(attempt);
        // A new folder takes the security of the user's own temporary folder.
        if (::CreateDirectoryW(nativePath(folder).c_str(), nullptr))
            return folder;
        if (error = ::GetLastError(); error != ERROR_ALREADY_EXISTS)
            break;
    }
    throw cannotCreateFile(base, static_cast<int>(error));
}

bool createPrivateFile(const std::string& path) {
    const HANDLE file = ::CreateFileW(nativePath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
            return false;
        throw cannotCreateFile(path, static_cast<int>(error));
    }
    ::CloseHandle(file);
    return true;
}

void removeFileAndFolder(const std::string& file, const std::string& folder) {
    ::DeleteFileW(nativePath(file).c_str());
    ::RemoveDirectoryW(nativePath(folder).c_str());
}

void parts::writeFileSafely(const std::string& path, std::string_view bytes, WriteStyle style,
                            TemporaryFile, AtLink atLink) {
    const WriteFailure fail(path, style);
    std::wstring target = nativePath(path);
    // A link (a symbolic link or a junction) to be replaced is never opened:
    // the new file takes the link's own name, and what it leads to stays.
    const DWORD own = ::GetFileAttributesW(target.c_str());
    const bool isLink = own != INVALID_FILE_ATTRIBUTES && (own & FILE_ATTRIBUTE_REPARSE_POINT);
    if (atLink == AtLink::Replace && isLink) {
        replaceWithNewFile(target, bytes, std::nullopt, fail);
        return;
    }
    const FileFacts facts = factsOf(target);
    if (!facts.exists) {
        if (facts.error != ERROR_FILE_NOT_FOUND)
            fail.create(facts.error);
        replaceWithNewFile(target, bytes, std::nullopt, fail);
        return;
    }
    if (facts.type != FILE_TYPE_DISK) {
        // A device or a pipe: written as it comes.
        writeInPlace(target, bytes, fail);
        return;
    }
    // A folder can't be opened as a file, and a read-only file is read-only
    // for everyone: the system denies both.
    if (facts.isFolder() || (facts.info.dwFileAttributes & FILE_ATTRIBUTE_READONLY))
        fail.create(ERROR_ACCESS_DENIED);
    if (facts.info.nNumberOfLinks == 1) {
        if (isLink)
            target = finalPath(target);
        if (replaceWithNewFile(target, bytes, facts.info.dwFileAttributes, fail))
            return;
    }
    writeInPlace(target, bytes, fail);
}

int renameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::MoveFileExW(nativePath(from).c_str(), nativePath(to).c_str(), 0))
        return 0;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_EXISTS ? kErrorFileExists : static_cast<int>(error);
}

} // namespace dravik
