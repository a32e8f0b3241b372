#include "platform/file_system.h"

#include "platform/cp1251.h"
#include "platform/errors.h"
#include "platform/file_system_parts.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <memory>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace dravik {
namespace {

using parts::Wanted;
using parts::WriteFailure;

// Files a command reads are opened without waiting: a pipe without a writer
// or a device must not hold the command up. Regular files ignore O_NONBLOCK.
constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

struct FileDescriptor {
    int fd;
    explicit FileDescriptor(int f) : fd(f) {}
    ~FileDescriptor() {
        if (fd >= 0)
            ::close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
};

// A file's time of change in nanoseconds, as FileStamp keeps it.
std::int64_t modifiedOf(const struct stat& info) {
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

} // namespace

// The enumeration behind the list functions: names that pass nameMatches,
// hidden ones left out, each looked up relative to the open folder.
std::vector<DirEntry> parts::enumerate(const std::string& folderText, std::string_view,
                                       Wanted wanted,
                                       const std::function<bool(std::string_view)>& nameMatches,
                                       Unreadable unreadable) {
    std::vector<DirEntry> entries;
    if (folderText.empty() || folderText.front() != '/')
        return entries;
    // A folder that is not there lists nothing; one that can't be read may say why.
    const auto failed = [&](int error) {
        if (unreadable == Unreadable::Raise && error != ENOENT && error != ENOTDIR)
            throw inOutError(error);
        return entries;
    };
    const int folderFd = ::open(folderText.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return failed(errno);
    std::unique_ptr<DIR, DirCloser> dir(::fdopendir(folderFd));
    if (!dir) {
        const int error = errno;
        ::close(folderFd);
        return failed(error);
    }
    // The order's key is folded once a name, not at every comparison.
    struct Keyed {
        std::string key;
        DirEntry entry;
    };
    std::vector<Keyed> keyed;
    while (const dirent* item = ::readdir(dir.get())) {
        std::string_view name = item->d_name;
        if (name.empty() || name.front() == '.' || !nameMatches(name))
            continue;
        // A folder or a special file that is not a link needs no look-up to be passed over.
        if (wanted == Wanted::Files && item->d_type != DT_REG && item->d_type != DT_LNK &&
            item->d_type != DT_UNKNOWN)
            continue;
        DirEntry entry;
        entry.name = std::string(name);
        struct stat info {};
        if (::fstatat(folderFd, item->d_name, &info, 0) == 0) {
            if (S_ISREG(info.st_mode)) {
                entry.kind = EntryKind::File;
                entry.size = static_cast<std::uint64_t>(info.st_size);
                entry.modified = modifiedOf(info);
            } else if (S_ISDIR(info.st_mode)) {
                entry.kind = EntryKind::Folder;
            }
        }
        if (wanted == Wanted::Files && entry.kind != EntryKind::File)
            continue;
        keyed.push_back(Keyed{enumerationKey(name), std::move(entry)});
    }
    // std::string compares its bytes as unsigned, as the order wants.
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        const int byKey = a.key.compare(b.key);
        return byKey != 0 ? byKey < 0 : a.entry.name < b.entry.name;
    });
    entries.reserve(keyed.size());
    for (Keyed& item : keyed)
        entries.push_back(std::move(item.entry));
    return entries;
}

namespace {

// Reads fd to its end into into, sized from what fstat reported; gives 0 or
// the system's error number.
int readToEnd(const std::string& path, int fd, std::size_t reportedSize, std::string& into) {
    // One byte more than reported shows at once a file that has grown.
    parts::namingFile(path, false, [&] { into.resize(reportedSize + 1); });
    std::size_t done = 0;
    for (;;) {
        if (done == into.size())
            parts::namingFile(path, false, [&] {
                into.resize(into.size() + std::max<std::size_t>(into.size(), 65536));
            });
        ssize_t n = ::read(fd, into.data() + done, into.size() - done);
        if (n < 0) {
            const int error = errno;
            if (error == EINTR)
                continue;
            into.clear();
            return error;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    into.resize(done);
    return 0;
}

// Opens path for reading and gives the descriptor, or -1 with errno set;
// info holds what the descriptor is.
int openForReading(const std::string& path, struct stat& info) {
    const int fd = parts::namingFile(path, false, [&] { return ::open(path.c_str(), kReadFlags); });
    if (fd >= 0 && ::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// Writes all of bytes to fd; gives 0 or the system's error number.
int writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Writes into a pipe whose reader may leave: the write then fails with EPIPE
// instead of the signal ending the program.
int writeAllToPipe(int fd, std::string_view bytes) {
    sigset_t pipeSignal;
    sigset_t previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    sigset_t pending;
    sigpending(&pending);
    const bool wasPending = sigismember(&pending, SIGPIPE) == 1;

    const int error = writeAll(fd, bytes);
    if (error == EPIPE && !wasPending) {
        const timespec noWait{0, 0};
        while (::sigtimedwait(&pipeSignal, nullptr, &noWait) < 0 && errno == EINTR) {
        }
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return error;
}

// The path that path's links finally lead to; where one leads to nothing,
// the path of that nothing, so that writing there creates the link's target.
std::string followLinks(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::string target(static_cast<std::size_t>(PATH_MAX), '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n < 0)
            return current;
        target.resize(static_cast<std::size_t>(n));
        current = target.starts_with('/') ? target : joinPath(folderOf(current), target);
    }
    return current;
}

// A new file in a folder, discarded unless published under a name.
class NewFile {
  public:
    // Makes the file in the folder open as folderFd; gives false with errno set.
    bool create(int folderFd, mode_t mode, TemporaryFile kind) {
        folderFd_ = folderFd;
        if (kind == TemporaryFile::Unnamed) {
            fd_ = ::openat(folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
            if (fd_ >= 0)
                return true;
            // EISDIR and EINVAL come from kernels and EOPNOTSUPP from file
            // systems without unnamed files.
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
                return false;
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = shortName(attempt);
            fd_ = ::openat(folderFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd_ >= 0) {
                name_ = std::move(name);
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    ~NewFile() {
        if (fd_ >= 0)
            ::close(fd_);
        if (!name_.empty())
            ::unlinkat(folderFd_, name_.c_str(), 0);
    }

    int fd() const { return fd_; }

    // Gives the file the name finalName of its folder, replacing what had it;
    // gives 0 or the system's error number.
    int publish(const std::string& finalName) {
        if (name_.empty()) {
            if (int error = nameUnnamedFile(); error != 0)
                return error;
        }
        if (::renameat(folderFd_, name_.c_str(), folderFd_, finalName.c_str()) != 0)
            return errno;
        name_.clear();
        return 0;
    }

  private:
    // Short, so that a target name of up to 255 bytes leaves room for it.
    static std::string shortName(int attempt) {
        static unsigned counter = 0;
        return ".dravik-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
               std::to_string(attempt) + ".tmp";
    }

    // Links the unnamed file into its folder, just before the rename.
    int nameUnnamedFile() {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = shortName(attempt);
            int linked =
                ::linkat(AT_FDCWD, self.c_str(), folderFd_, name.c_str(), AT_SYMLINK_FOLLOW);
            // Without /proc, AT_EMPTY_PATH does the same where it is permitted.
            if (linked != 0 && errno == ENOENT)
                linked = ::linkat(fd_, "", folderFd_, name.c_str(), AT_EMPTY_PATH);
            if (linked == 0) {
                name_ = std::move(name);
                return 0;
            }
            if (errno != EEXIST)
                return errno;
        }
        return EEXIST;
    }

    int folderFd_ = -1;
    int fd_ = -1;
    std::string name_;
};

// Writes bytes to a new file beside target and renames it over target. Gives
// false, having changed nothing, when target is not the file earlier describes,
// the folder takes no new file, or the new file can't have earlier's owner and
// group: the file is then to be written in place.
bool replaceWithNewFile(const std::string& target, std::string_view bytes,
                        const struct stat* earlier, TemporaryFile temporary,
                        const WriteFailure& fail) {
    FileDescriptor folder(::open(folderOf(target).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd < 0)
        fail.create(errno);

    const std::string name = nameOf(target);
    // Only the file that was opened is replaced: should its name have come to
    // lead elsewhere meanwhile, the opened file is written in place.
    if (earlier) {
        struct stat named {};
        if (::fstatat(folder.fd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
            named.st_dev != earlier->st_dev || named.st_ino != earlier->st_ino)
            return false;
    }

    NewFile file;
    // An earlier file's mode is set exactly once its owner is; till then only
    // its owner may open it.
    if (!file.create(folder.fd, earlier ? 0600 : 0666, temporary)) {
        if (earlier && (errno == EACCES || errno == EPERM))
            return false;
        fail.create(errno);
    }
    if (earlier) {
        struct stat made {};
        if (::fstat(file.fd(), &made) != 0)
            fail.create(errno);
        // Changing the owner clears the set-user and set-group bits, so the mode comes after.
        if ((made.st_uid != earlier->st_uid || made.st_gid != earlier->st_gid) &&
            ::fchown(file.fd(), earlier->st_uid, earlier->st_gid) != 0)
            return false;
        if (::fchmod(file.fd(), earlier->st_mode & 07777) != 0)
            fail.create(errno);
    }

    int error = writeAll(file.fd(), bytes);
    if (error == 0 && ::fsync(file.fd()) != 0)
        error = errno;
    if (error != 0)
        fail.write(error);
    if (error = file.publish(name); error != 0)
        fail.create(error);
    return true;
}

} // namespace

std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

std::string folderOf(std::string_view path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return ".";
    if (slash == 0)
        return "/";
    return std::string(path.substr(0, slash));
}

std::string nameOf(std::string_view path) {
    std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string resolvePath(std::string_view folder, std::string_view path) {
    return path.starts_with('/') ? std::string(path) : joinPath(folder, path);
}

std::optional<std::string> parentFolder(std::string_view folder) {
    if (folder.empty() || folder.front() != '/' || folder == "/")
        return std::nullopt;
    while (folder.size() > 1 && folder.back() == '/')
        folder.remove_suffix(1);
    return folderOf(folder);
}

// Folder names differ by letter case on Linux, so the comparison is exact: a
// folder that differs only by case is another folder.
bool sameFolder(std::string_view a, std::string_view b) {
    return a == b;
}

std::string currentFolderOfDrive(char) {
    return currentDirectory();
}

bool pathExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool isPlainFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool entryExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::lstat(path.c_str(), &info) == 0;
}

std::optional<std::uint64_t> fileSize(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

namespace {

FileStamp stampOf(const struct stat& info) {
    return {static_cast<std::int64_t>(info.st_size), modifiedOf(info)};
}

} // namespace

std::optional<FileStamp> plainFileStamp(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return stampOf(info);
}

void readWholeFile(const std::string& path, std::string& into) {
    into.clear();
    struct stat info {};
    FileDescriptor file(openForReading(path, info));
    if (file.fd < 0)
        throw cannotOpenFile(path, errno);
    if (!S_ISREG(info.st_mode))
        throw cannotOpenFile(path, S_ISDIR(info.st_mode) ? EISDIR : ENOENT);
    if (int error = readToEnd(path, file.fd, static_cast<std::size_t>(info.st_size), into);
        error != 0)
        throw inOutError(error);
}

namespace {

// Opens the plain file at path as a file that is read whole; -1 when there is
// no plain file there.
int openPlainFile(const std::string& path, struct stat& info) {
    const int fd = openForReading(path, info);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return -1;
        throw cannotOpenFile(path, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

bool readPlainFile(const std::string& path, std::string& into, FileStamp& stamp) {
    struct stat info {};
    FileDescriptor file(parts::emptiedOnFailure(into, [&] { return openPlainFile(path, info); }));
    if (file.fd < 0) {
        into.clear();
        return false;
    }
    stamp = stampOf(info);
    if (int error = readToEnd(path, file.fd, static_cast<std::size_t>(info.st_size), into);
        error != 0)
        throw inOutError(error);
    return true;
}

bool readPlainFileInPieces(const std::string& path, std::span<char> buffer,
                           const std::function<void(std::string_view)>& take) {
    struct stat info {};
    FileDescriptor file(openPlainFile(path, info));
    if (file.fd < 0)
        return false;
    const std::span<char> piece = buffer.first(std::min<std::size_t>(buffer.size(), SSIZE_MAX));
    for (;;) {
        const ssize_t n = ::read(file.fd, piece.data(), piece.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw inOutError(errno);
        }
        if (n == 0)
            return true;
        take(std::string_view(piece.data(), static_cast<std::size_t>(n)));
    }
}

PieceReader::PieceReader(const std::string& path) {
    struct stat info {};
    handle_ = openForReading(path, info);
    if (handle_ < 0)
        throw inOutError(errno);
    if (!S_ISREG(info.st_mode)) {
        ::close(handle_);
        throw inOutError(ENOENT);
    }
    opened_ = stampOf(info);
}

std::optional<PieceReader> PieceReader::openIfPlain(const std::string& path) {
    struct stat info {};
    const int fd = openForReading(path, info);
    if (fd < 0)
        throw inOutError(errno);
    PieceReader reader(fd, stampOf(info));
    if (!S_ISREG(info.st_mode))
        return std::nullopt;
    return reader;
}

std::optional<PieceReader> PieceReader::openPlain(const std::string& path) {
    struct stat info {};
    const int fd = openPlainFile(path, info);
    if (fd < 0)
        return std::nullopt;
    return PieceReader(fd, stampOf(info));
}

PieceReader::~PieceReader() {
    if (handle_ >= 0)
        ::close(handle_);
}

std::string PieceReader::read(std::int64_t offset, std::size_t length) {
    std::string bytes = readUpTo(offset, length);
    if (bytes.size() < length)
        throw readBeyondEndOfFile();
    return bytes;
}

std::string PieceReader::readUpTo(std::int64_t offset, std::size_t length) {
    std::string bytes(length, '\0');
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = ::pread(handle_, bytes.data() + done, length - done,
                            static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw inOutError(errno);
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

FileStamp PieceReader::stamp() const {
    if (opened_)
        return *opened_;
    struct stat info {};
    if (::fstat(handle_, &info) != 0)
        throw inOutError(errno);
    return stampOf(info);
}

namespace {

// The current directory into folder; 0, else the system's error number.
int tellCurrentDirectory(std::string& folder) {
    folder.assign(PATH_MAX, '\0');
    for (;;) {
        if (::getcwd(folder.data(), folder.size()) != nullptr) {
            folder.resize(std::char_traits<char>::length(folder.c_str()));
            return 0;
        }
        if (errno != ERANGE)
            return errno;
        folder.resize(folder.size() * 2);
    }
}

} // namespace

std::string currentDirectory() {
    std::string folder;
    if (const int error = tellCurrentDirectory(folder); error != 0)
        throw inOutError(error);
    return folder;
}

std::string absoluteFolder(const std::string& path) {
    std::string full = path;
    if (path.empty())
        throw cannotOpenFolder(path, ENOENT);
    if (!path.starts_with('/')) {
        std::string current;
        if (const int error = tellCurrentDirectory(current); error != 0)
            throw cannotOpenFolder(path, error);
        full = joinPath(current, path);
    }
    // The steps are taken as the text reads them: ".." leaves the step
    // before it, be that a link or not.
    std::vector<std::string_view> steps;
    for (std::size_t start = 0; start < full.size();) {
        const std::size_t end = std::min(full.find('/', start), full.size());
        const std::string_view step(full.data() + start, end - start);
        if (step == "..") {
            if (!steps.empty())
                steps.pop_back();
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        start = end + 1;
    }
    std::string folder;
    for (const std::string_view step : steps)
        folder.append("/").append(step);
    if (folder.empty())
        folder = "/";
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        throw cannotOpenFolder(path, errno);
    if (!S_ISDIR(info.st_mode))
        throw cannotOpenFolder(path, ENOTDIR);
    return folder;
}

void setCurrentDirectory(const std::string& path) {
    if (::chdir(path.c_str()) != 0)
        throw inOutError(errno);
}

void makeFolders(const std::string& folder) {
    std::vector<std::string> missing;
    struct stat info {};
    for (std::optional<std::string> step = folder; step && ::stat(step->c_str(), &info) != 0;
         step = parentFolder(*step)) {
        if (errno != ENOENT && errno != ENOTDIR)
            throw cannotCreateFolder(folder, errno);
        // stat follows links: one to nowhere is there all the same.
        if (entryExists(*step))
            throw cannotCreateFolderAtLink(folder, *step);
        missing.push_back(*step);
    }
    for (auto step = missing.rbegin(); step != missing.rend(); ++step) {
        // The mode is set whole, whatever the process's mask takes away.
        if (::mkdir(step->c_str(), 0700) == 0 ? ::chmod(step->c_str(), 0700) != 0
                                              : errno != EEXIST || !isFolder(*step))
            throw cannotCreateFolder(folder, errno);
    }
}

bool createPrivateFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        if (errno == EEXIST)
            return false;
        throw cannotCreateFile(path, errno);
    }
    // The mode is set whole, whatever the process's mask takes away.
    const bool moded = ::fchmod(fd, 0600) == 0;
    const int error = errno;
    ::close(fd);
    if (!moded)
        throw cannotCreateFile(path, error);
    return true;
}

void enterFolder(const std::string& folder) {
    if (::chdir(folder.c_str()) != 0)
        throw cannotOpenFolder(folder, errno);
}

std::string makeTemporaryFolder(std::string_view prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / prefix).string() + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw cannotCreateFile(pattern, errno);
    return pattern;
}

void removeFileAndFolder(const std::string& file, const std::string& folder) {
    ::unlink(file.c_str());
    ::rmdir(folder.c_str());
}

void parts::writeFileSafely(const std::string& path, std::string_view bytes, WriteStyle style,
                            TemporaryFile temporary, AtLink atLink) {
    const WriteFailure fail(path, style);
    // A link to be replaced is never opened: what it leads to stays untouched,
    // be it a file, a folder, a pipe, a device or nothing.
    struct stat named {};
    if (atLink == AtLink::Replace && ::lstat(path.c_str(), &named) == 0 && S_ISLNK(named.st_mode)) {
        replaceWithNewFile(path, bytes, nullptr, temporary, fail);
        return;
    }
    // Opening the target as it is, without truncating it, tells what it is and
    // whether it may be written at all. A pipe without a reader refuses at once.
    FileDescriptor target(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (target.fd < 0) {
        if (errno != ENOENT)
            fail.create(errno);
        replaceWithNewFile(followLinks(path), bytes, nullptr, temporary, fail);
        return;
    }
    struct stat info {};
    if (::fstat(target.fd, &info) != 0)
        fail.create(errno);

    if (S_ISREG(info.st_mode)) {
        if ((info.st_mode & 0222) == 0)
            fail.create(EACCES);
        if (info.st_nlink == 1 &&
            replaceWithNewFile(followLinks(path), bytes, &info, temporary, fail))
            return;
        if (::ftruncate(target.fd, 0) != 0)
            fail.create(errno);
        if (int error = writeAll(target.fd, bytes); error != 0)
            fail.write(error);
        return;
    }

    // A pipe or a device: written as it comes, waiting for the reader as needed.
    const int flags = ::fcntl(target.fd, F_GETFL);
    if (flags < 0 || ::fcntl(target.fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        fail.create(errno);
    const int error =
        S_ISFIFO(info.st_mode) ? writeAllToPipe(target.fd, bytes) : writeAll(target.fd, bytes);
    if (error != 0)
        fail.write(error);
}

int renameWithoutReplacing(const std::string& from, const std::string& to) {
#ifdef SYS_renameat2
    constexpr unsigned kNoReplace = 1; // RENAME_NOREPLACE
    if (::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), kNoReplace) == 0)
        return 0;
    if (errno != ENOSYS && errno != EINVAL)
        return errno;
#endif
    // The file system can't rename without replacing: a hard link fails when
    // the target exists, and only then is the old name removed.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    if (errno == EEXIST)
        return EEXIST;
    struct stat info {};
    if (::lstat(to.c_str(), &info) == 0)
        return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

} // namespace dravik
