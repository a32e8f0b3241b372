#include "results/report.h"

#include "platform/errors.h"
#include "results/save_all_fixture.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace dravik {
namespace {

using testing::CurrentDirectoryGuard;
using testing::FakeUi;
using testing::fileContent;
using testing::SaveAll;
using testing::TempFolder;
using testing::thrownMessage;

std::vector<std::string> folderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
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

} // namespace
} // namespace dravik
