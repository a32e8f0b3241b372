#include "platform/file_system.h"

#include "platform/cp1251.h"
#include "platform/errors.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace dravik {
namespace {

char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

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

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

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

} // namespace

bool extensionMatches(std::string_view name, std::string_view extension) {
    return name.size() > extension.size() &&
           equalsIgnoreCase(name.substr(name.size() - extension.size()), extension);
}

bool enumerationLess(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto ua = static_cast<unsigned char>(asciiUpper(a[i]));
        auto ub = static_cast<unsigned char>(asciiUpper(b[i]));
        if (ua != ub)
            return ua < ub;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

std::vector<DirEntry> listEntries(const std::string& folderText, std::string_view extension) {
    std::vector<DirEntry> entries;
    if (folderText.empty() || folderText.front() != '/')
        return entries;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folderText.c_str()));
    if (!dir)
        return entries;
    while (const dirent* item = ::readdir(dir.get())) {
        std::string_view name = item->d_name;
        if (name.empty() || name.front() == '.' || !extensionMatches(name, extension))
            continue;
        DirEntry entry;
        entry.name = std::string(name);
        struct stat info {};
        if (::stat(joinPath(folderText, name).c_str(), &info) == 0) {
            if (S_ISREG(info.st_mode)) {
                entry.kind = EntryKind::File;
                entry.size = static_cast<std::uint64_t>(info.st_size);
            } else if (S_ISDIR(info.st_mode)) {
                entry.kind = EntryKind::Folder;
            }
        }
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
        return enumerationLess(a.name, b.name);
    });
    return entries;
}

std::vector<DirEntry> listFiles(const std::string& folderText, std::string_view extension) {
    std::vector<DirEntry> files = listEntries(folderText, extension);
    std::erase_if(files, [](const DirEntry& e) { return e.kind != EntryKind::File; });
    return files;
}

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

bool isPlainFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string readWholeFile(const std::string& path) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.fd < 0)
        throw cannotOpenFile(path, errno);
    struct stat info {};
    if (::fstat(file.fd, &info) == 0 && S_ISDIR(info.st_mode))
        throw cannotOpenFile(path, EISDIR);
    std::string data;
    if (info.st_size > 0)
        data.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw inOutError(errno);
        }
        if (n == 0)
            break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return data;
}

PieceReader::PieceReader(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw inOutError(errno);
}

PieceReader::~PieceReader() {
    ::close(fd_);
}

std::string PieceReader::read(std::int64_t offset, std::size_t length) {
    std::string bytes(length, '\0');
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = ::pread(fd_, bytes.data() + done, length - done,
                            static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw inOutError(errno);
        }
        if (n == 0)
            throw readBeyondEndOfFile();
        done += static_cast<std::size_t>(n);
    }
    return bytes;
}

std::string currentDirectory() {
    std::string buffer(PATH_MAX, '\0');
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
            buffer.resize(std::char_traits<char>::length(buffer.c_str()));
            return buffer;
        }
        if (errno != ERANGE)
            throw inOutError(errno);
        buffer.resize(buffer.size() * 2);
    }
}

void setCurrentDirectory(const std::string& path) {
    if (::chdir(path.c_str()) != 0)
        throw inOutError(errno);
}

void writeFileSafely(const std::string& path, std::string_view bytes, WriteStyle style) {
    // Throws rather than returns, so the error keeps its own class.
    auto createFailed = [&](int error) {
        if (style == WriteStyle::Whole)
            throw cannotCreateFile(path, error);
        throw inOutError(error);
    };

    // Write through a link to the file it names, so the link stays a link.
    std::string target = path;
    struct stat info {};
    bool exists = ::lstat(path.c_str(), &info) == 0;
    if (exists && S_ISLNK(info.st_mode)) {
        if (char* resolved = ::realpath(path.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
        exists = ::stat(target.c_str(), &info) == 0;
    }
    if (exists) {
        if (S_ISDIR(info.st_mode))
            createFailed(EISDIR);
        // A file that can't be opened for writing is not replaced behind its back.
        if (::access(target.c_str(), W_OK) != 0)
            createFailed(errno);
    }

    std::string folder = folderOf(target);
    std::string base = nameOf(target);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temporary = joinPath(folder, "." + base + "." + std::to_string(::getpid()) + "." +
                                         std::to_string(attempt) + ".tmp");
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt >= 100))
            createFailed(errno);
    }
    FileDescriptor file(fd);
    if (exists)
        ::fchmod(file.fd, info.st_mode & 07777);

    int error = writeAll(file.fd, bytes);
    if (error == 0 && ::fsync(file.fd) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        if (style == WriteStyle::Whole)
            throw Error("Stream write error");
        throw inOutError(error);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
        ::unlink(temporary.c_str());
        createFailed(error);
    }
}

bool isValidFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
        if (std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
            return false;
    }
    return true;
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

void readWholeFileInto(const std::string& path, std::string& data) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.fd < 0)
        throw cannotOpenFile(path, errno);
    struct stat info {};
    if (::fstat(file.fd, &info) == 0 && S_ISDIR(info.st_mode))
        throw cannotOpenFile(path, EISDIR);
    // Room beyond the size it has now, so a file read whole ends in a short
    // read; a file that grew meanwhile makes the buffer grow.
    data.resize(static_cast<std::size_t>(std::max<off_t>(info.st_size + 1, 4096)));
    std::size_t done = 0;
    for (;;) {
        if (done == data.size())
            data.resize(data.size() * 2);
        ssize_t n = ::read(file.fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw inOutError(errno);
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    data.resize(done);
}

} // namespace dravik
