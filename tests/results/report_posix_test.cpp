#include "results/report.h"

#include "platform/errors.h"
#include "results/save_all_fixture.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include <sys/resource.h>

namespace dravik {
namespace {

using testing::CurrentDirectoryGuard;
using testing::fileContent;
using testing::namesIn;
using testing::SaveAll;
using testing::thrownMessage;


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
