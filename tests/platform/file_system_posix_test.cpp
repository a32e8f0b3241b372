#include "platform/file_system.h"

#include "platform/errors.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
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

TEST(ReadWholeFile, GivesTheBytesOrTheOpenErrorText) {
    TempFolder folder;
    const std::string bytes("\0\x01\xFFtail", 7);
    EXPECT_EQ(readWholeFile(folder.write("f.rpm", bytes)), bytes);
    const std::string missing = folder.file("none.rpm");
    EXPECT_EQ(thrownMessage<FileOpenError>([&] { readWholeFile(missing); }),
              "Cannot open file \"" + missing + "\". No such file or directory");
    EXPECT_EQ(thrownMessage<FileOpenError>([&] { readWholeFile(folder.path()); }),
              "Cannot open file \"" + folder.path() + "\". Is a directory");
}

TEST(WriteFileSafely, ReplacesTheFileAndWordsCreateFailuresByStyle) {
    TempFolder folder;
    const std::string path = folder.write("Dravik.ini", "old");
    writeFileSafely(path, "new\r\n", WriteStyle::Whole);
    EXPECT_EQ(fileContent(path), "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);

    const std::string nowhere = folder.file("missing/Dravik.ini");
    EXPECT_EQ(
        thrownMessage<FileOpenError>([&] { writeFileSafely(nowhere, "x", WriteStyle::Whole); }),
        "Cannot create file \"" + nowhere + "\". No such file or directory");
    EXPECT_EQ(thrownMessage<InOutError>([&] { writeFileSafely(nowhere, "x", WriteStyle::Pieces); }),
              "File not found");
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
    for (TemporaryFile kind : kTemporaryKinds) {
        TempFolder folder;
        const std::string path = folder.write("$Dravik.txt", "earlier");
        ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
        giveToOrdinaryUser(path);
        const struct stat before = statOf(path);

        writeFileSafely(path, "new\r\n", WriteStyle::Pieces, kind);
        const struct stat after = statOf(path);
        EXPECT_EQ(fileContent(path), "new\r\n");
        EXPECT_NE(after.st_ino, before.st_ino) << "written in place, not replaced";
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"$Dravik.txt"});
    }
}

TEST(WriteFileSafely, AMissingFileIsCreatedAsAPlainCreateWould) {
    for (TemporaryFile kind : kTemporaryKinds) {
        TempFolder folder;
        const mode_t mask = ::umask(022);
        writeFileSafely(folder.file("Dravik.ini"), "[Mod]\r\n", WriteStyle::Whole, kind);
        ::umask(mask);
        EXPECT_EQ(fileContent(folder.file("Dravik.ini")), "[Mod]\r\n");
        EXPECT_EQ(statOf(folder.file("Dravik.ini")).st_mode, S_IFREG | 0644);
        EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"Dravik.ini"});
    }
}

TEST(WriteFileSafely, LinksAreWrittenThroughAndStayLinks) {
    TempFolder folder;
    folder.makeFolder("real");
    const std::string real = folder.write("real/report.txt", "earlier");
    // A relative link, reached through a second link.
    std::filesystem::create_symlink("real/report.txt", folder.file("first.txt"));
    std::filesystem::create_symlink("first.txt", folder.file("link.txt"));
    writeFileSafely(folder.file("link.txt"), "through", WriteStyle::Pieces);
    EXPECT_EQ(fileContent(real), "through");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("link.txt")));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("first.txt")));
    EXPECT_EQ(namesIn(folder.file("real")), std::vector<std::string>{"report.txt"});

    // A link to nothing gets its target.
    std::filesystem::create_symlink(folder.file("real/made.txt"), folder.file("dangling.txt"));
    writeFileSafely(folder.file("dangling.txt"), "made", WriteStyle::Whole);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("dangling.txt")));
    EXPECT_EQ(fileContent(folder.file("real/made.txt")), "made");
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

TEST(WriteFileSafely, APipeWithoutAReaderFailsAtOnce) {
    TempFolder folder;
    const std::string pipe = makePipe(folder, "report.fifo");
    EXPECT_EQ(thrownMessage<FileOpenError>([&] { writeFileSafely(pipe, "x", WriteStyle::Whole); }),
              "Cannot create file \"" + pipe + "\". No such device or address");
    EXPECT_EQ(thrownMessage<InOutError>([&] { writeFileSafely(pipe, "x", WriteStyle::Pieces); }),
              "I/O error " + std::to_string(ENXIO));
    EXPECT_TRUE(S_ISFIFO(statOf(pipe).st_mode));
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

TEST(WriteFileSafely, DevicesAreWrittenInPlace) {
    TempFolder folder;
    std::filesystem::create_symlink("/dev/null", folder.file("null.txt"));
    writeFileSafely("/dev/null", "gone", WriteStyle::Pieces);
    writeFileSafely(folder.file("null.txt"), "gone", WriteStyle::Whole);
    EXPECT_TRUE(S_ISCHR(statOf("/dev/null").st_mode));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("null.txt")));

    EXPECT_EQ(
        thrownMessage<InOutError>([&] { writeFileSafely("/dev/full", "x", WriteStyle::Pieces); }),
        "Disk full");
    EXPECT_EQ(thrownMessage<Error>([&] { writeFileSafely("/dev/full", "x", WriteStyle::Whole); }),
              "Stream write error");
}

TEST(WriteFileSafely, AFileWithoutWriteBitsIsReadOnlyForRootToo) {
    TempFolder folder;
    const std::string path = folder.write("$Dravik.txt", "earlier");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_EQ(thrownMessage<FileOpenError>([&] { writeFileSafely(path, "x", WriteStyle::Whole); }),
              "Cannot create file \"" + path + "\". Permission denied");
    EXPECT_EQ(thrownMessage<InOutError>([&] { writeFileSafely(path, "x", WriteStyle::Pieces); }),
              "File access denied");
    // With a second link it would be written in place: still refused.
    ASSERT_EQ(::link(path.c_str(), folder.file("copy.txt").c_str()), 0);
    EXPECT_EQ(thrownMessage<InOutError>([&] { writeFileSafely(path, "x", WriteStyle::Pieces); }),
              "File access denied");
    EXPECT_EQ(fileContent(path), "earlier");
    EXPECT_EQ(statOf(path).st_mode, S_IFREG | 0444);
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

TEST(WriteFileSafely, ANameOfUpTo255BytesWorks) {
    for (TemporaryFile kind : kTemporaryKinds) {
        TempFolder folder;
        const std::string name = std::string(251, 'r') + ".txt";
        writeFileSafely(folder.file(name), "first", WriteStyle::Pieces, kind);
        writeFileSafely(folder.file(name), "second", WriteStyle::Pieces, kind);
        EXPECT_EQ(fileContent(folder.file(name)), "second");
        EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{name});
    }
}

TEST(WriteFileSafely, AFolderIsNotAFileToWrite) {
    TempFolder folder;
    EXPECT_EQ(thrownMessage<FileOpenError>(
                  [&] { writeFileSafely(folder.path(), "x", WriteStyle::Whole); }),
              "Cannot create file \"" + folder.path() + "\". Is a directory");
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

TEST(ReadWholeFile, APipeOrADeviceCountsAsNotThereAndNothingBlocks) {
    TempFolder folder;
    const std::string pipe = makePipe(folder, "m.rpm");
    EXPECT_EQ(thrownMessage<FileOpenError>([&] { readWholeFile(pipe); }),
              "Cannot open file \"" + pipe + "\". No such file or directory");
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
    readWholeFile(folder.write("small.rpm", "s"), buffer);
    EXPECT_EQ(buffer, "s");
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
