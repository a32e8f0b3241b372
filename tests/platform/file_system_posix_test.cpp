#include "platform/file_system.h"

#include "platform/errors.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace dravik {
namespace {

using testing::fileContent;
using testing::giveToOrdinaryUser;
using testing::kOrdinaryUserId;
using testing::namesIn;
using testing::runAsOrdinaryUser;
using testing::runInChild;
using testing::TempFolder;
using testing::thrownMessage;

// Run with DRAVIK_TEST_NO_UNNAMED_FILES set, the process is refused unnamed
// files as a file system without them refuses them, so that the safe writes'
// tests check the named file they fall back to.
[[maybe_unused]] const bool unnamedFilesRefused = [] {
    if (!std::getenv("DRAVIK_TEST_NO_UNNAMED_FILES"))
        return false;
    sock_filter program[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat, 0, 3),
        // The low half of openat's flags.
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[2])),
        BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, O_TMPFILE & ~O_DIRECTORY, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog filter{sizeof program / sizeof program[0], program};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) != 0 ||
        ::openat(AT_FDCWD, ".", O_TMPFILE | O_WRONLY, 0600) >= 0 || errno != EOPNOTSUPP) {
        std::perror("cannot refuse unnamed files");
        std::abort();
    }
    return true;
}();

TEST(ListFiles, PlainFilesInUpperCasedOrderWithTiesByBytes) {
    TempFolder folder;
    // "_" sorts after the letters once they are upper-cased, before the small ones in bytes.
    for (const char* name :
         {"_x.rpm", "b.rpm", "a.rpm", "Z.rpm", "A.rpm", "C.RPM", "m.txt", ".hidden.rpm"})
        folder.write(name, "data");
    folder.makeFolder("f.rpm");
    std::filesystem::create_symlink(folder.file("b.rpm"), folder.file("l.rpm"));
    std::filesystem::create_symlink(folder.file("gone"), folder.file("d.rpm"));

    std::vector<std::string> names;
    for (const DirEntry& entry : listFiles(folder.path(), ".rpm")) {
        names.push_back(entry.name);
        EXPECT_EQ(entry.size, 4u) << entry.name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"A.rpm", "a.rpm", "b.rpm", "C.RPM", "l.rpm", "Z.rpm",
                                               "_x.rpm"}));

    std::vector<DirEntry> entries = listEntries(folder.path() + "/", ".rpm");
    ASSERT_EQ(entries.size(), 9u);
    EXPECT_EQ(entries[2].name, "b.rpm");
    EXPECT_EQ(entries[4].name, "d.rpm");
    EXPECT_EQ(entries[4].kind, EntryKind::Other);
    EXPECT_EQ(entries[5].name, "f.rpm");
    EXPECT_EQ(entries[5].kind, EntryKind::Folder);
}

struct stat statOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

std::string makePipe(const TempFolder& folder, std::string_view name) {
    const std::string path = folder.file(name);
    EXPECT_EQ(::mkfifo(path.c_str(), 0666), 0);
    return path;
}

constexpr TemporaryFile kTemporaryKinds[] = {TemporaryFile::Unnamed, TemporaryFile::Named};

TEST(WriteFileSafely, APlainFileIsReplacedKeepingModeOwnerAndGroup) {
    // Run as root, the file has another owner, or another group alone; set-id
    // bits must outlive the new file's change of owner, which clears them.
    struct Row {
        mode_t mode;
        uid_t owner;
        gid_t group;
        WriteStyle style;
    };
    const uid_t me = ::geteuid();
    const gid_t myGroup = ::getegid();
    const bool root = me == 0;
    const uid_t other = root ? kOrdinaryUserId : me;
    const gid_t otherGroup = root ? kOrdinaryUserId - 1 : myGroup;
    for (const Row& row :
         {Row{0640, other, other, WriteStyle::Whole}, Row{06755, other, other, WriteStyle::Pieces},
          Row{01644, me, otherGroup, WriteStyle::Pieces},
          Row{02750, other, otherGroup, WriteStyle::Pieces}})
        for (TemporaryFile kind : kTemporaryKinds) {
            TempFolder folder;
            const std::string path = folder.write("$Dravik.txt", "earlier");
            ASSERT_EQ(::chown(path.c_str(), row.owner, row.group), 0);
            ASSERT_EQ(::chmod(path.c_str(), row.mode), 0);
            const ino_t inode = statOf(path).st_ino;

            writeFileSafely(path, "new\r\n", row.style, kind);
            const struct stat after = statOf(path);
            SCOPED_TRACE(::testing::Message() << "mode " << std::oct << row.mode);
            EXPECT_EQ(fileContent(path), "new\r\n");
            EXPECT_NE(after.st_ino, inode) << "written in place, not replaced";
            EXPECT_EQ(after.st_mode, S_IFREG | row.mode);
            EXPECT_EQ(after.st_uid, row.owner);
            EXPECT_EQ(after.st_gid, row.group);
            EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"$Dravik.txt"});
        }
}

TEST(WriteFileSafely, AMissingFileIsCreatedAsAPlainCreateWouldUnderANameOfUpTo255Bytes) {
    for (TemporaryFile kind : kTemporaryKinds) {
        TempFolder folder;
        const std::string path = folder.file(std::string(251, 'r') + ".txt");
        const mode_t mask = ::umask(022);
        writeFileSafely(path, "[Mod]\r\n", WriteStyle::Whole, kind);
        ::umask(mask);
        EXPECT_EQ(fileContent(path), "[Mod]\r\n");
        EXPECT_EQ(statOf(path).st_mode, S_IFREG | 0644);
        writeFileSafely(path, "second", WriteStyle::Pieces, kind);
        EXPECT_EQ(fileContent(path), "second");
        EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{nameOf(path)});
    }
}

TEST(WriteFileSafely, LinksAreWrittenThroughAndStayLinks) {
    // The links from "link.txt" on, each target as the link holds it ("@" for
    // the test's folder); they lead to real/report.txt, there or not yet.
    struct Row {
        std::vector<std::pair<std::string, std::string>> links;
        bool targetThere;
    };
    const Row rows[] = {
        {{{"link.txt", "first.txt"}, {"first.txt", "real/report.txt"}}, true},
        // A relative target is taken from the folder of the link that holds it.
        {{{"link.txt", "real/first.txt"}, {"real/first.txt", "report.txt"}}, true},
        {{{"link.txt", "real/first.txt"}, {"real/first.txt", "report.txt"}}, false},
        {{{"link.txt", "real/report.txt"}}, false},
        {{{"link.txt", "@/real/report.txt"}}, false},
    };
    for (const Row& row : rows) {
        TempFolder folder;
        folder.makeFolder("real");
        const std::string real = folder.file("real/report.txt");
        if (row.targetThere)
            folder.write("real/report.txt", "earlier");
        const ino_t inode = row.targetThere ? statOf(real).st_ino : 0;
        for (const auto& [name, target] : row.links) {
            const std::string text =
                target.starts_with('@') ? folder.path() + target.substr(1) : target;
            std::filesystem::create_symlink(text, folder.file(name));
        }
        SCOPED_TRACE(row.links.back().second);

        writeFileSafely(folder.file("link.txt"), "through", WriteStyle::Pieces);
        EXPECT_EQ(fileContent(real), "through");
        EXPECT_NE(statOf(real).st_ino, inode) << "written in place, not replaced";
        for (const auto& [name, target] : row.links)
            EXPECT_TRUE(std::filesystem::is_symlink(folder.file(name))) << name;
        // The links, the folder and the target; no temporary file.
        EXPECT_EQ(namesIn(folder.path()).size() + namesIn(folder.file("real")).size(),
                  row.links.size() + 2);
    }
}

TEST(WriteFileSafely, AFileWithSeveralLinksIsWrittenInPlace) {
    TempFolder folder;
    const std::string path = folder.write("$Dravik.txt", "earlier");
    ASSERT_EQ(::link(path.c_str(), folder.file("copy.txt").c_str()), 0);
    const ino_t inode = statOf(path).st_ino;
    writeFileSafely(path, "new", WriteStyle::Pieces);
    EXPECT_EQ(fileContent(path), "new");
    EXPECT_EQ(fileContent(folder.file("copy.txt")), "new");
    EXPECT_EQ(statOf(path).st_ino, inode);
    EXPECT_EQ(statOf(path).st_nlink, 2u);
}

TEST(WriteFileSafely, APipeWithAReaderReceivesTheBytes) {
    TempFolder folder;
    const std::string pipe = makePipe(folder, "report.fifo");
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::filesystem::create_symlink(pipe, folder.file("link.txt"));
    writeFileSafely(pipe, "one\r\n", WriteStyle::Pieces);
    writeFileSafely(folder.file("link.txt"), "two\r\n", WriteStyle::Whole);
    char buffer[64];
    const ssize_t n = ::read(reader, buffer, sizeof buffer);
    ::close(reader);
    EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0))),
              "one\r\ntwo\r\n");
    EXPECT_TRUE(S_ISFIFO(statOf(pipe).st_mode));
    EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"link.txt", "report.fifo"}));
}

TEST(WriteFileSafely, APipeWhoseReaderLeavesFailsWithoutEndingTheProgram) {
    TempFolder folder;
    const std::string pipe = makePipe(folder, "report.fifo");
    const std::string result = runInChild([&] {
        // The only reader takes one byte and leaves, far before the writer is
        // done. A second writer, kept open, makes its read wait for that byte.
        const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
        const int keeper = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
        if (::fork() == 0) {
            ::close(keeper);
            ::fcntl(reader, F_SETFL, 0);
            char byte;
            [[maybe_unused]] ssize_t n = ::read(reader, &byte, 1);
            ::_exit(0);
        }
        ::close(reader);
        return thrownMessage<InOutError>(
            [&] { writeFileSafely(pipe, std::string(1 << 20, 'x'), WriteStyle::Pieces); });
    });
    EXPECT_EQ(result, "I/O error " + std::to_string(EPIPE));
}

// What writing "x" to path in the style raises, marked by its kind: "open: "
// for FileOpenError, "io: " for InOutError, "error: " for another Error.
std::string writeFailure(const std::string& path, WriteStyle style) {
    try {
        writeFileSafely(path, "x", style);
        return "<no error>";
    } catch (const FileOpenError& e) {
        return "open: " + e.message();
    } catch (const InOutError& e) {
        return "io: " + e.message();
    } catch (const Error& e) {
        return "error: " + e.message();
    }
}

TEST(WriteFileSafely, FailuresAreWordedByStyleAndLeaveTheTargetAsItWas) {
    TempFolder folder;
    // Without write bits a file is read-only for root too, and with a second
    // link, which would have it written in place, still.
    const std::string readOnly = folder.write("$Dravik.txt", "earlier");
    const std::string linked = folder.write("linked.txt", "earlier");
    for (const std::string& path : {readOnly, linked})
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ASSERT_EQ(::link(linked.c_str(), folder.file("copy.txt").c_str()), 0);
    // A pipe without a reader fails at once rather than wait; devices are
    // written in place.
    const std::string pipe = makePipe(folder, "report.fifo");
    std::filesystem::create_symlink("/dev/null", folder.file("null.txt"));
    const std::string denied =
        "open: Cannot create file \"@\". Permission denied|io: File access denied";
    // What writing each target whole, then piece by piece, raises ("@" standing for its path).
    const std::pair<std::string, std::string> rows[] = {
        {folder.file("missing/x.ini"),
         "open: Cannot create file \"@\". No such file or directory|io: File not found"},
        {folder.path(),
         "open: Cannot create file \"@\". Is a directory|io: I/O error " + std::to_string(EISDIR)},
        {pipe, "open: Cannot create file \"@\". No such device or address|io: I/O error " +
                   std::to_string(ENXIO)},
        {readOnly, denied},
        {linked, denied},
        {"/dev/full", "error: Stream write error|io: Disk full"},
        {folder.file("null.txt"), "<no error>|<no error>"},
    };
    for (auto [path, expected] : rows) {
        if (const std::size_t at = expected.find('@'); at != std::string::npos)
            expected.replace(at, 1, path);
        std::string got = writeFailure(path, WriteStyle::Whole) + "|";
        EXPECT_EQ(got + writeFailure(path, WriteStyle::Pieces), expected) << path;
    }
    EXPECT_EQ(namesIn(folder.path()),
              (std::vector<std::string>{"$Dravik.txt", "copy.txt", "linked.txt", "null.txt",
                                        "report.fifo"}));
    EXPECT_EQ(fileContent(readOnly) + fileContent(linked), "earlierearlier");
    EXPECT_EQ(statOf(readOnly).st_mode, S_IFREG | 0444);
    EXPECT_TRUE(S_ISFIFO(statOf(pipe).st_mode));
    EXPECT_TRUE(S_ISLNK(statOf(folder.file("null.txt")).st_mode));
    EXPECT_TRUE(S_ISCHR(statOf("/dev/null").st_mode));
}

TEST(WriteFileSafely, AFileTheUserMayNotWriteIsLeftAloneWhoeverOwnsItsFolder) {
    // Whether the file is the user's, its mode, whether its folder is the user's.
    // Only root can give a file to another user: others try the user's own file.
    struct Row {
        bool mine;
        mode_t mode;
        bool folderMine;
    };
    for (const Row& row :
         {Row{false, 0644, true}, Row{false, 0644, false}, Row{true, 0464, true}}) {
        if (!row.mine && ::geteuid() != 0)
            continue;
        TempFolder folder;
        giveToOrdinaryUser(folder.path());
        const std::string sub = folder.makeFolder("sub");
        const std::string path = folder.write("sub/$Dravik.txt", "earlier");
        if (row.folderMine)
            giveToOrdinaryUser(sub);
        if (row.mine)
            giveToOrdinaryUser(path);
        ASSERT_EQ(::chmod(path.c_str(), row.mode), 0);
        const ino_t inode = statOf(path).st_ino;

        EXPECT_EQ(runAsOrdinaryUser([&] {
                      return thrownMessage<InOutError>(
                          [&] { writeFileSafely(path, "x", WriteStyle::Pieces); });
                  }),
                  "File access denied")
            << std::oct << row.mode << (row.folderMine ? " in the user's folder" : "");
        EXPECT_EQ(fileContent(path), "earlier");
        EXPECT_EQ(statOf(path).st_ino, inode);
        EXPECT_EQ(namesIn(sub), std::vector<std::string>{"$Dravik.txt"});
    }
}

TEST(WriteFileSafely, AFolderThatTakesNoNewFileGetsAWritableFileWrittenInPlace) {
    TempFolder folder;
    const std::string locked = folder.makeFolder("locked");
    const std::string report = folder.write("locked/$Dravik.txt", "earlier");
    const std::string readOnly = folder.write("locked/old.txt", "old");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    for (const std::string& path : {folder.path(), locked, report, readOnly})
        giveToOrdinaryUser(path);
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
    const ino_t inode = statOf(report).st_ino;

    const std::string result = runAsOrdinaryUser([&] {
        writeFileSafely(report, "new", WriteStyle::Pieces);
        return thrownMessage<InOutError>(
                   [&] { writeFileSafely(locked + "/none.txt", "x", WriteStyle::Pieces); }) +
               "|" + thrownMessage<FileOpenError>([&] {
                   writeFileSafely(readOnly, "x", WriteStyle::Whole);
               });
    });
    EXPECT_EQ(result,
              "File access denied|Cannot create file \"" + readOnly + "\". Permission denied");
    EXPECT_EQ(fileContent(report), "new");
    EXPECT_EQ(statOf(report).st_ino, inode);
    EXPECT_EQ(fileContent(readOnly), "old");
    EXPECT_EQ(namesIn(locked), (std::vector<std::string>{"$Dravik.txt", "old.txt"}));
}

TEST(WriteFileSafely, AFileWhoseOwnerTheNewFileCantTakeIsWrittenInPlace) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    TempFolder folder;
    const std::string path = folder.write("$Dravik.txt", "earlier");
    giveToOrdinaryUser(folder.path());
    // Another user's file that the ordinary user may write through its group.
    ASSERT_EQ(::chown(path.c_str(), kOrdinaryUserId - 1, kOrdinaryUserId), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0664), 0);
    const ino_t inode = statOf(path).st_ino;

    EXPECT_EQ(runAsOrdinaryUser([&] {
                  writeFileSafely(path, "new", WriteStyle::Pieces);
                  return std::string("written");
              }),
              "written");
    EXPECT_EQ(fileContent(path), "new");
    EXPECT_EQ(statOf(path).st_ino, inode);
    EXPECT_EQ(statOf(path).st_uid, kOrdinaryUserId - 1);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"$Dravik.txt"});
}

TEST(WriteFileSafely, ADescriptorsLinkToADeletedFileIsWrittenInPlace) {
    TempFolder folder;
    const std::string path = folder.write("report.txt", "earlier");
    const int fd = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::unlink(path.c_str()), 0);
    writeFileSafely("/proc/self/fd/" + std::to_string(fd), "new", WriteStyle::Pieces);
    char buffer[16];
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, 0);
    ::close(fd);
    EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0))), "new");
    EXPECT_TRUE(namesIn(folder.path()).empty());
}

// A file-size limit fails a write as a full disk does, even for root.
void limitFileSize(rlim_t bytes) {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

TEST(WriteFileSafely, AFailedWriteLeavesTheEarlierFileAndNoTemporaryFile) {
    for (TemporaryFile kind : kTemporaryKinds) {
        TempFolder folder;
        const std::string earlier("earlier\0\xFF\r\n", 11);
        const std::string path = folder.write("$Dravik.txt", earlier);
        const std::string result = runInChild([&] {
            std::signal(SIGXFSZ, SIG_IGN);
            limitFileSize(1000);
            const std::string big(5000, 'v');
            return thrownMessage<InOutError>(
                       [&] { writeFileSafely(path, big, WriteStyle::Pieces, kind); }) +
                   "|" + thrownMessage<Error>([&] {
                       writeFileSafely(folder.file("new.txt"), big, WriteStyle::Whole, kind);
                   });
        });
        EXPECT_EQ(result, "Disk full|Stream write error");
        EXPECT_EQ(fileContent(path), earlier);
        EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"$Dravik.txt"});
    }
}

TEST(WriteFileSafely, AKillMidWriteLeavesNoTemporaryFile) {
    TempFolder folder;
    const int probe = ::open(folder.path().c_str(), O_TMPFILE | O_WRONLY, 0600);
    if (probe < 0)
        GTEST_SKIP() << "the temporary folder's file system has no unnamed files";
    ::close(probe);
    const std::string path = folder.write("$Dravik.txt", "earlier");
    // Past the limit, the default action of SIGXFSZ kills the writer.
    const std::string result = runInChild([&] {
        limitFileSize(1000);
        writeFileSafely(path, std::string(5000, 'v'), WriteStyle::Pieces);
        return std::string("survived");
    });
    EXPECT_EQ(result, "<killed by signal " + std::to_string(SIGXFSZ) + ">");
    EXPECT_EQ(fileContent(path), "earlier");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"$Dravik.txt"});
}

TEST(ReadWholeFile, APipeOrADeviceCountsAsNotThereAndOpenErrorsNameWhy) {
    TempFolder folder;
    const std::string pipe = makePipe(folder, "m.rpm");
    for (const auto& [path, reason] :
         {std::pair{pipe, "No such file or directory"},
          std::pair{folder.file("none.rpm"), "No such file or directory"},
          std::pair{folder.path(), "Is a directory"}})
        EXPECT_EQ(thrownMessage<FileOpenError>([&] { readWholeFile(path); }),
                  "Cannot open file \"" + path + "\". " + reason);
    EXPECT_EQ(thrownMessage<InOutError>([&] { PieceReader reader(pipe); }), "File not found");
    EXPECT_FALSE(PieceReader::openIfPlain(pipe).has_value());
    EXPECT_TRUE(listFiles(folder.path(), ".rpm").empty());

    std::string bytes = "stale";
    for (const std::string& path : {pipe, std::string("/dev/zero"), folder.path(),
                                    folder.file("missing.ldr"), folder.file("m.rpm/x.ldr")}) {
        EXPECT_FALSE(readPlainFile(path, bytes)) << path;
        EXPECT_EQ(bytes, "") << path;
    }
    EXPECT_TRUE(readPlainFile(folder.write("x.ldr", "loader"), bytes));
    EXPECT_EQ(bytes, "loader");
    EXPECT_EQ(PieceReader::openIfPlain(folder.file("x.ldr"))->read(1, 3), "oad");
    EXPECT_EQ(thrownMessage<InOutError>([&] { PieceReader::openIfPlain(folder.file("no.rpm")); }),
              "File not found");
}

TEST(ReadWholeFile, AFileThatCantBeOpenedIsAnError) {
    TempFolder folder;
    const std::string path = folder.write("x.ldr", "loader");
    ASSERT_EQ(::chmod(path.c_str(), 0000), 0);
    giveToOrdinaryUser(folder.path());
    std::string bytes;
    EXPECT_EQ(runAsOrdinaryUser([&] {
                  return thrownMessage<FileOpenError>([&] { readPlainFile(path, bytes); });
              }),
              "Cannot open file \"" + path + "\". Permission denied");
}

TEST(ReadWholeFile, TheDataIsWhatIsReadWhateverTheSizeReported) {
    // The system's process files report a size of 0 and hold more.
    const std::string status = readWholeFile("/proc/self/status");
    EXPECT_TRUE(status.starts_with("Name:")) << status;
    EXPECT_NE(status.find("\nPid:"), std::string::npos);

    // A buffer that held a longer file holds only the shorter one after it.
    TempFolder folder;
    const std::string large(200000, 'L');
    std::string buffer;
    readWholeFile(folder.write("large.rpm", large), buffer);
    EXPECT_EQ(buffer, large);
    const std::string small("\0\x01\xFFs", 4);
    readWholeFile(folder.write("small.rpm", small), buffer);
    EXPECT_EQ(buffer, small);
    readWholeFile(folder.write("empty.rpm", ""), buffer);
    EXPECT_EQ(buffer, "");
}

TEST(ListFilesNamed, EveryCaseOfTheNameInTheOrderOfEnumeration) {
    TempFolder folder;
    for (const char* name : {"dravik.ini", "Dravik.INI", "DRAVIK.INI", "xdravik.ini", "Dravik.in"})
        folder.write(name, "[Mod]");
    folder.makeFolder("DrAvIk.ini");
    makePipe(folder, "DRAVIK.ini");
    std::filesystem::create_symlink(folder.file("dravik.ini"), folder.file("DRAVIK.Ini"));

    std::vector<std::string> names;
    for (const DirEntry& entry : listFilesNamed(folder.path(), "Dravik.ini"))
        names.push_back(entry.name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"DRAVIK.INI", "DRAVIK.Ini", "Dravik.INI", "dravik.ini"}));
}

} // namespace
} // namespace dravik
