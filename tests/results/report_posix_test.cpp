#include "results/report.h"

#include "platform/errors.h"
#include "results/save_all_fixture.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

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

// As an ordinary user in a folder that takes no new file: no report is
// made, a link is neither replaced nor written through (what it names is the
// user's and writable), and a writable report is written in place.
TEST_F(SaveAll, AFolderThatTakesNoNewFileGetsAReportOnlyInPlace) {
    TempFolder elsewhere;
    const std::string kept = elsewhere.write("kept.txt", "kept");
    for (const std::string& path : {elsewhere.path(), kept, folder.path()})
        testing::giveToOrdinaryUser(path);
    const struct {
        const char* there; // what is at $Dravik.txt before
        std::string result;
        std::string after;
    } cases[] = {
        {"nothing", "File access denied", "<missing>"},
        {"a link", "File access denied", "link"},
        {"a report", "<no error>", "Name                     :X\r\n"},
    };
    rows.append("Name", "X");
    for (const auto& c : cases) {
        const std::string locked = folder.makeFolder(c.there);
        const std::string inLocked = locked + "/$Dravik.txt";
        if (c.there == std::string("a link"))
            std::filesystem::create_symlink(kept, inLocked);
        else if (c.there == std::string("a report"))
            testing::giveToOrdinaryUser(
                folder.write(std::string(c.there) + "/$Dravik.txt", "earlier"));
        testing::giveToOrdinaryUser(locked);
        std::filesystem::permissions(locked, std::filesystem::perms(0555));
        CurrentDirectoryGuard here(locked);
        EXPECT_EQ(testing::runAsOrdinaryUser(
                      [&] { return thrownMessage<InOutError>([&] { saveAll(rows, ui); }); }),
                  c.result)
            << c.there;
        EXPECT_EQ(whatIsAt(inLocked), c.after) << c.there;
        EXPECT_EQ(namesIn(locked).size(), c.after == "<missing>" ? 0u : 1u) << c.there;
    }
    EXPECT_EQ(fileContent(kept), "kept");
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

} // namespace
} // namespace dravik
