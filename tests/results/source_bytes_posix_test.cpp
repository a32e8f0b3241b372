#include "results/source_bytes.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dravik {
namespace {

using testing::TempFolder;

constexpr std::int64_t kTwoGiB = std::int64_t{2} << 30;

// Makes the file at path size bytes long (sparse) with bytes at offset.
void makeFile(const std::string& path, std::int64_t size, std::int64_t offset,
              std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).close();
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(offset);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Sets the file's time of last change back by a minute, its bytes untouched.
void moveTimeBack(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    const timespec times[2] = {info.st_atim, {info.st_mtim.tv_sec - 60, info.st_mtim.tv_nsec}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// Rewrites bytes away from the value at the start, the size kept, and sets the
// time of last change half a second from where it was, within the same second.
void rewriteWithinTheSecond(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    std::fstream(path, std::ios::binary | std::ios::in | std::ios::out).seekp(1024) << "rewritten";
    const long nanoseconds = (info.st_mtim.tv_nsec + 500'000'000) % 1'000'000'000;
    const timespec times[2] = {info.st_atim, {info.st_mtim.tv_sec, nanoseconds}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

TEST(ReadSourceBytes, ReadsOnlyWhatIsShownAndTellsWhatBecameOfTheFile) {
    namespace fs = std::filesystem;
    // What takes the file's place after the command.
    auto deleted = [](const std::string& p) { fs::remove(p); };
    auto pipe = [](const std::string& p) {
        fs::remove(p);
        ::mkfifo(p.c_str(), 0600);
    };
    auto folder = [](const std::string& p) {
        fs::remove(p);
        fs::create_directory(p);
    };
    auto devZero = [](const std::string& p) {
        fs::remove(p);
        fs::create_symlink("/dev/zero", p);
    };
    const struct {
        const char* name;
        std::int64_t size; // of the file the command read
        std::int64_t offset;
        std::string value;
        // What happens to the file at path after the command.
        std::function<void(const std::string& path)> after;
        SourceState state;
        std::int64_t first;
        std::int64_t shown; // bytes read and kept
    } cases[] = {
        {"a module, shown whole", 2048, 505, "Q8.01", nullptr, SourceState::Unchanged, 0, 2048},
        {"2 GiB, value near the start", kTwoGiB, 100, "DISK", nullptr, SourceState::Unchanged, 0,
         368},
        {"2 GiB, value at the end", kTwoGiB, kTwoGiB - 2, "\xCD\xAB", nullptr,
         SourceState::Unchanged, kTwoGiB - 272, 272},
        {"an image grown to 2 GiB", 131072, 131070, std::string(2, '\0'),
         [](const std::string& path) { fs::resize_file(path, kTwoGiB); }, SourceState::Changed,
         130800, 544},
        {"an image cut below the value", 131072, 131070, std::string(2, '\0'),
         [](const std::string& path) { fs::resize_file(path, 4096); }, SourceState::Changed, 4096,
         0},
        {"rewritten, same size", 2048, 0, "version",
         [](const std::string& path) { makeFile(path, 2048, 0, "VERSION"); }, SourceState::Changed,
         0, 2048},
        {"the same bytes, another time", 2048, 0, "version", moveTimeBack, SourceState::Changed, 0,
         2048},
        {"rewritten within the same second", 2048, 0, "version", rewriteWithinTheSecond,
         SourceState::Changed, 0, 2048},
        {"deleted", 512, 0, "ST38", deleted, SourceState::Gone, 0, 0},
        {"a pipe", 512, 0, "ST38", pipe, SourceState::NotPlainFile, 0, 0},
        {"a folder", 512, 0, "ST38", folder, SourceState::NotPlainFile, 0, 0},
        {"a link to /dev/zero", 512, 0, "ST38", devZero, SourceState::NotPlainFile, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder work;
        const std::string path = work.file("rom.rpm");
        makeFile(path, c.size, c.offset, c.value);
        const RowSource source{SourceFile::at(path), c.offset, c.value, std::nullopt, "entry"};
        if (c.after)
            c.after(path);
        const SourceBytes shown = readSourceBytes(source);
        EXPECT_EQ(shown.state, c.state);
        EXPECT_EQ(shown.first, c.first);
        ASSERT_EQ(static_cast<std::int64_t>(shown.bytes.size()), c.shown);
        if (c.state == SourceState::Unchanged) {
            EXPECT_EQ(
                shown.bytes.substr(static_cast<std::size_t>(c.offset - c.first), c.value.size()),
                c.value);
        }
    }
}

} // namespace
} // namespace dravik
