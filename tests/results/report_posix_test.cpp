#include "results/report.h"

#include "platform/errors.h"
#include "results/save_all_fixture.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include <sys/resource.h>
#include <sys/stat.h>

namespace dravik {
namespace {

using testing::CurrentDirectoryGuard;
using testing::fileContent;
using testing::namesIn;
using testing::SaveAll;
using testing::TempFolder;
using testing::thrownMessage;

// What is at path, a link not followed: "link", "pipe", "folder", "<missing>",
// or a file's bytes.
std::string whatIsAt(const std::string& path) {
    switch (std::filesystem::symlink_status(path).type()) {
    case std::filesystem::file_type::symlink:
        return "link";
    case std::filesystem::file_type::fifo:
        return "pipe";
    case std::filesystem::file_type::directory:
        return "folder";
    default:
        return fileContent(path);
    }
}


TEST_F(SaveAll, AFolderThatTakesNoNewFileGetsNoReport) {
    rows.append("Name", "X");
    const std::string locked = folder.makeFolder("locked");
    testing::giveToOrdinaryUser(folder.path());
    testing::giveToOrdinaryUser(locked);
    std::filesystem::permissions(locked, std::filesystem::perms(0555));
    CurrentDirectoryGuard inLocked(locked);
    EXPECT_EQ(testing::runAsOrdinaryUser(
                  [&] { return thrownMessage<InOutError>([&] { saveAll(rows, ui); }); }),
              "File access denied");
    EXPECT_TRUE(namesIn(locked).empty());
}

TEST_F(SaveAll, ALinkInThePlaceOfTheReportIsReplacedAndWhatItLeadsToIsKept) {
    TempFolder elsewhere;
    const std::string file = elsewhere.write("kept.txt", "kept");
    const std::string pipe = elsewhere.file("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
    const std::pair<std::string, std::string> cases[] = {
        // what the link leads to, and what is there after Save All
        {file, "kept"},
        {std::filesystem::relative(file, folder.path()).string(), "kept"},
        {elsewhere.file("none.txt"), "<missing>"},
        {pipe, "pipe"},
        {elsewhere.makeFolder("folder"), "folder"},
    };
    rows.append("Name", "X");
    for (const auto& [target, after] : cases) {
        SCOPED_TRACE(target);
        std::filesystem::remove(report);
        std::filesystem::create_symlink(target, report);
        EXPECT_TRUE(saveAll(rows, ui));
        EXPECT_EQ(whatIsAt(report), "Name                     :X\r\n");
        EXPECT_EQ(
            whatIsAt(std::filesystem::absolute(folder.path() / std::filesystem::path(target))),
            after);
    }
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"$Dravik.txt"});
}

TEST_F(SaveAll, ALinkInAFolderThatTakesNoNewFileIsNeitherReplacedNorWrittenThrough) {
    TempFolder elsewhere;
    const std::string file = elsewhere.write("kept.txt", "kept");
    testing::giveToOrdinaryUser(elsewhere.path());
    testing::giveToOrdinaryUser(file);
    std::filesystem::create_symlink(file, report);
    testing::giveToOrdinaryUser(folder.path());
    std::filesystem::permissions(folder.path(), std::filesystem::perms(0555));
    rows.append("Name", "X");
    EXPECT_EQ(testing::runAsOrdinaryUser(
                  [&] { return thrownMessage<InOutError>([&] { saveAll(rows, ui); }); }),
              "File access denied");
    EXPECT_EQ(whatIsAt(report), "link");
    EXPECT_EQ(fileContent(file), "kept");
}

TEST_F(SaveAll, AWritableReportInAFolderThatTakesNoNewFileIsWrittenInPlace) {
    folder.write("$Dravik.txt", "earlier");
    testing::giveToOrdinaryUser(report);
    testing::giveToOrdinaryUser(folder.path());
    std::filesystem::permissions(folder.path(), std::filesystem::perms(0555));
    rows.append("Name", "X");
    EXPECT_EQ(testing::runAsOrdinaryUser(
                  [&] { return std::string(saveAll(rows, ui) ? "saved" : "not saved"); }),
              "saved");
    EXPECT_EQ(fileContent(report), "Name                     :X\r\n");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"$Dravik.txt"});
}

TEST_F(SaveAll, FailedWriteKeepsTheEarlierReportAndLeavesNoPartialFile) {
    folder.write("$Dravik.txt", "earlier");
    for (int i = 0; i < 100; ++i)
        rows.append("Name", std::string(100, 'v'));

    // A file-size limit makes writes fail like a full disk, even for root.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1000;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = thrownMessage<InOutError>([&] { saveAll(rows, ui); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(message, "Disk full");
    EXPECT_EQ(fileContent(report), "earlier");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"$Dravik.txt"});
}

} // namespace
} // namespace dravik
