#include "results/report.h"

#include "platform/errors.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include <sys/resource.h>
#include <sys/stat.h>

namespace dravik {
namespace {

using testing::CurrentDirectoryGuard;
using testing::FakeUi;
using testing::fileContent;
using testing::TempFolder;
using testing::thrownMessage;

std::vector<std::string> folderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

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

TEST(ReportLine, NamesArePaddedOrCutTo25Characters) {
    const std::pair<ResultRow, std::string> cases[] = {
        {{"", ""}, std::string(25, ' ') + ":"},
        {{"Family ", "Ares 64"}, "Family" + std::string(19, ' ') + ":Ares 64"},
        {{"Serial", "AB  "}, "Serial" + std::string(19, ' ') + ":AB  "},
        {{std::string(24, 'n'), "v"}, std::string(24, 'n') + " :v"},
        {{std::string(25, 'n'), "v"}, std::string(25, 'n') + ":v"},
        {{"abcdefghijklmnopqrstuvwxyz1234", ":x:"}, "abcdefghijklmnopqrstuvwxy::x:"},
        {{std::string(30, '\xC0'), "\xE0"}, std::string(25, '\xC0') + ":\xE0"},
    };
    for (const auto& [row, line] : cases)
        EXPECT_EQ(reportLine(row), line) << row.name;
}

TEST(FormatReport, OneCrLfLineARowInListOrder) {
    ResultList rows;
    EXPECT_EQ(formatReport(rows), "");
    rows.append("Code", "1");
    rows.append("Sum", "");
    rows.append("Code", "2");
    const std::string pad(21, ' ');
    EXPECT_EQ(formatReport(rows), "Code" + pad + ":1\r\nSum " + pad + ":\r\nCode" + pad + ":2\r\n");
}

class SaveAll : public ::testing::Test {
  protected:
    TempFolder folder;
    CurrentDirectoryGuard here{folder.path()};
    FakeUi ui;
    ResultList rows;
    const std::string report = folder.file("$Dravik.txt");
};

TEST_F(SaveAll, AsksThenWritesTheReportIntoTheCurrentDirectory) {
    rows.append("Family ", "Ares 64");
    rows.append("Name", "X");
    EXPECT_TRUE(saveAll(rows, ui));
    // "Сохранить информацию в логе?"
    EXPECT_EQ(ui.questions,
              std::vector<std::string>{"\xD1\xEE\xF5\xF0\xE0\xED\xE8\xF2\xFC \xE8\xED\xF4\xEE\xF0"
                                       "\xEC\xE0\xF6\xE8\xFE \xE2 \xEB\xEE\xE3\xE5?"});
    EXPECT_EQ(fileContent(report), "Family                   :Ares 64\r\n"
                                   "Name                     :X\r\n");
    EXPECT_TRUE(ui.messages.empty());

    rows.clear();
    EXPECT_TRUE(saveAll(rows, ui));
    EXPECT_EQ(fileContent(report), "");
    EXPECT_EQ(folderNames(folder.path()), std::vector<std::string>{"$Dravik.txt"});
}

TEST_F(SaveAll, AnsweringNoWritesNothing) {
    rows.append("Name", "X");
    ui.answer = false;
    EXPECT_FALSE(saveAll(rows, ui));
    EXPECT_EQ(fileContent(report), "<missing>");

    folder.write("$Dravik.txt", "earlier");
    EXPECT_FALSE(saveAll(rows, ui));
    EXPECT_EQ(fileContent(report), "earlier");
    EXPECT_EQ(ui.questions.size(), 2u);
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
    EXPECT_TRUE(folderNames(locked).empty());
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
    EXPECT_EQ(folderNames(folder.path()), std::vector<std::string>{"$Dravik.txt"});
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
    EXPECT_EQ(folderNames(folder.path()), std::vector<std::string>{"$Dravik.txt"});
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
    EXPECT_EQ(folderNames(folder.path()), std::vector<std::string>{"$Dravik.txt"});
}

} // namespace
} // namespace dravik
