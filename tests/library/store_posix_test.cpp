#include "library/snapshot.h"
#include "library/store.h"
#include "settings/settings_file.h"
#include "test_library.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dravik::library {
namespace {

using dravik::testing::fileContent;
using dravik::testing::runAsOrdinaryUser;
using dravik::testing::runInChild;
using dravik::testing::TempFolder;
using testing::driveAt;
using testing::TestLibrary;

constexpr int kDrivesPerWriter = 30;

// A drive whose serial tells how many rows it has: a reader that sees any
// other count saw half of a change. Up to 250 rows take several statements.
Snapshot countedDrive(const std::string& path, int rows) {
    Snapshot snapshot = driveAt(path, {{"Serial", std::to_string(rows)}});
    for (int i = 1; i < rows; ++i)
        snapshot.rows.push_back({Block::CheckRom, {}, "Row " + std::to_string(i), "x", std::nullopt});
    return snapshot;
}

// A child process that adds its drives and replaces the shared one again and
// again; it exits with 0 when every add went in.
pid_t startWriter(const std::string& url, int writer) {
    const pid_t child = ::fork();
    if (child != 0)
        return child;
    try {
        const std::unique_ptr<Store> store = openStore(url);
        for (int i = 0; i < kDrivesPerWriter; ++i) {
            store->put(driveAt("/writer" + std::to_string(writer) + "/" + std::to_string(i),
                               {{"Family", "Ares 64"}, {"Serial", std::to_string(i)}}));
            store->put(countedDrive("/shared", 1 + (i * 37 + writer * 101) % 250));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "writer %d: %s\n", writer, e.what());
        ::_exit(1);
    }
    ::_exit(0);
}

mode_t modeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

class StoreProcesses : public ::testing::TestWithParam<std::string> {
  protected:
    TestLibrary library{GetParam()};
};

TEST_P(StoreProcesses, TwoWritersLoseNothingAndReadersSeeDrivesWhole) {
    const std::unique_ptr<Store> reader = openStore(library.url());
    reader->put(countedDrive("/shared", 1));
    const pid_t writers[] = {startWriter(library.url(), 1), startWriter(library.url(), 2)};

    int halves = 0;
    int reads = 0;
    int statuses[] = {-1, -1};
    while (statuses[0] == -1 || statuses[1] == -1) {
        for (int i = 0; i < 2; ++i) {
            if (statuses[i] != -1)
                continue;
            const pid_t ended = ::waitpid(writers[i], &statuses[i], WNOHANG);
            if (ended == 0)
                statuses[i] = -1;
            else if (ended < 0)
                statuses[i] = 255 << 8; // as a writer that failed

        }
        const std::optional<Drive> shared = reader->drive(resolveOne(*reader, DriveRef::byPath("/shared")).id);
        ++reads;
        if (!shared || shared->rows.empty() ||
            std::to_string(shared->rows.size()) != shared->rows.front().value)
            ++halves;
    }
    for (const int status : statuses)
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer failed";
    EXPECT_EQ(halves, 0) << "of " << reads << " reads";
    EXPECT_EQ(reader->list().size(), 2u * kDrivesPerWriter + 1);
    EXPECT_EQ(reader->find({FindTerm::parse("Family=Ares 64")}).size(), 2u * kDrivesPerWriter);
}

INSTANTIATE_TEST_SUITE_P(Engines, StoreProcesses, ::testing::ValuesIn(testing::engines()),
                         [](const auto& info) { return info.param; });

// What a failing add leaves: the library as it was.
class LibraryFile : public ::testing::Test {
  protected:
    void SetUp() override { openStore(path)->put(original); }

    void expectOriginalWhole() {
        const std::unique_ptr<Store> store = openStore(path);
        ASSERT_EQ(store->list().size(), 1u);
        EXPECT_EQ(store->drive(store->list().front().id)->rows, original.rows);
    }

    TempFolder folder;
    std::string path = folder.file("library.sqlite");
    Snapshot original = driveAt("/shop/a", {{"Family", "Ares 64"}, {"Serial", "WX310041"}});
};

TEST_F(LibraryFile, IsMadeForItsOwnerOnly) {
    const mode_t mask = ::umask(022);
    const std::string deeper = folder.file("made/for/it") + "/library.sqlite";
    {
        const std::unique_ptr<Store> store = openStore(deeper);
        store->put(original);
        // While a store is open SQLite keeps its -wal and -shm files.
        EXPECT_EQ(modeOf(deeper + "-wal"), 0600u);
        EXPECT_EQ(modeOf(deeper + "-shm"), 0600u);
    }
    ::umask(mask);
    EXPECT_EQ(modeOf(deeper), 0600u);
    EXPECT_EQ(modeOf(folder.file("made/for/it")), 0700u);
    EXPECT_EQ(modeOf(folder.file("made")), 0700u);
}

TEST_F(LibraryFile, ThatIsNoDatabaseIsRefusedAndLeftAlone) {
    const std::string other = folder.write("notes.sqlite", std::string(4096, 'n'));
    EXPECT_EQ(dravik::testing::thrownMessage<LibraryError>([&] { openStore(other); }),
              "Library \"" + other + "\": not a library file (file is not a database)");
    EXPECT_EQ(fileContent(other), std::string(4096, 'n'));
}

TEST_F(LibraryFile, ThatIsReadOnlyRefusesAnAdd) {
    dravik::testing::giveToOrdinaryUser(folder.path());
    dravik::testing::giveToOrdinaryUser(path);
    ::chmod(path.c_str(), 0400);
    const std::string result = runAsOrdinaryUser([&] {
        const std::unique_ptr<Store> store = openStore(path);
        store->put(driveAt("/shop/b", {{"Serial", "NEW"}}));
        return std::string("<added>");
    });
    EXPECT_EQ(result.substr(0, result.find('(')),
              "<error: Library \"" + path + "\": the library is read-only here ");
    ::chmod(path.c_str(), 0600);
    expectOriginalWhole();
}

TEST_F(LibraryFile, ThatFillsTheDiskKeepsTheEarlierEntryWhole) {
    // A file may grow by no more than a few pages, as on a disk that is full;
    // the process is told by a failed write, not killed.
    Snapshot bigger = original;
    for (int i = 0; i < 2000; ++i)
        bigger.rows.push_back({Block::Pasport, {}, "Row " + std::to_string(i), std::string(200, 'v'), std::nullopt});
    const std::string result = runInChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const std::unique_ptr<Store> store = openStore(path);
        const rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        // A new drive in the same batch goes with it.
        store->putAll(std::vector<Snapshot>{driveAt("/shop/b", {{"Serial", "NEW"}}), bigger});
        return std::string("<added>");
    });
    // SQLite tells a write past the limit as an I/O error (a full disk as
    // "database or disk is full").
    EXPECT_EQ(result.find("<error: Library \"" + path + "\": disk I/O error"), 0u) << result;
    expectOriginalWhole();
}

TEST(Snapshot, KeepsTheFilesAndTheRowsOfAFolder) {
    TempFolder drive;
    drive.write("a.rpm", "module bytes");
    drive.write("B.LDR", std::string(2000, '\x11'));
    drive.write("notes.txt", "not a drive file");
    const Snapshot snapshot = snapshotFolder(drive.path(), SettingsFile());

    EXPECT_EQ(snapshot.path, drive.path());
    ASSERT_EQ(snapshot.files.size(), 2u);
    EXPECT_EQ(snapshot.files[0].name, "a.rpm");
    EXPECT_EQ(snapshot.files[0].size, 12);
    EXPECT_EQ(snapshot.files[0].sha256, "5c073b6de205a83e4df87dcd07111be224ad4435a8c08ca0ba10e68dcf38fe92");
    EXPECT_EQ(snapshot.files[1].name, "B.LDR");
    ASSERT_FALSE(snapshot.rows.empty());
    for (const StoredRow& row : snapshot.rows) {
        EXPECT_EQ(row.block, Block::Loader);
        EXPECT_EQ(row.loader, "B.LDR");
        ASSERT_TRUE(row.source);
        EXPECT_EQ(row.source->file, "B.LDR");
    }

    // Unchanged while the files keep their names, sizes and times.
    TempFolder library;
    const std::unique_ptr<Store> store = openStore(library.file("library.sqlite"));
    EXPECT_EQ(storedState(*store, drive.path()), StoredState::Absent);
    store->put(snapshot);
    EXPECT_EQ(storedState(*store, drive.path()), StoredState::Unchanged);
    {
        // A folder named from the current directory is the same drive.
        const dravik::testing::CurrentDirectoryGuard inParent(drive.file(".."));
        const std::string name = drive.path().substr(drive.path().rfind('/') + 1);
        EXPECT_EQ(storedState(*store, name), StoredState::Unchanged);
        EXPECT_EQ(resolveOne(*store, DriveRef::parse("./" + name)).path, drive.path());
    }
    drive.write("notes.txt", "other notes");
    EXPECT_EQ(storedState(*store, drive.path()), StoredState::Unchanged);
    drive.write("a.rpm", "module bytes, longer");
    EXPECT_EQ(storedState(*store, drive.path()), StoredState::Changed);
    store->put(snapshotFolder(drive.path(), SettingsFile()));
    drive.write("c.rpm", "");
    EXPECT_NE(storedState(*store, drive.path()), StoredState::Unchanged);

    // A file far larger than a read is hashed through, piece by piece: a
    // sparse one of 256 MiB and 3 bytes of zeros, digest from sha256sum.
    TempFolder large;
    const std::string zeros = large.file("zeros.rpm");
    large.write("zeros.rpm", "");
    ASSERT_EQ(::truncate(zeros.c_str(), (off_t{256} << 20) + 3), 0);
    const Snapshot sparse = snapshotFolder(large.path(), SettingsFile());
    ASSERT_EQ(sparse.files.size(), 1u);
    EXPECT_EQ(sparse.files[0].size, (std::int64_t{256} << 20) + 3);
    EXPECT_EQ(sparse.files[0].sha256, "4eaf48af4ee6b10004ffed3fa5def5c7e15ee120b7ddd3cea6bad9b5746ca833");
}

} // namespace
} // namespace dravik::library
