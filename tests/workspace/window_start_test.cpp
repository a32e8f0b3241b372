#include "platform/errors.h"
#include "platform/file_system.h"
#include "settings/default_settings.h"
#include "support/test_support.h"
#include "workspace/window_start.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace dravik {
namespace {

using testing::CurrentDirectoryGuard;
using testing::fileContent;
using testing::namesIn;
using testing::TempFolder;
using testing::thrownMessage;
using Action = WindowArguments::Action;

TEST(WindowArguments, HelpAndVersionWinThenOneFolderAndTheUserFolderOption) {
    const struct {
        std::vector<std::string> args;
        Action action;
        bool userFolder;
        std::optional<std::string> folder;
        std::string problem;
    } cases[] = {
        {{}, Action::Start, false, {}, ""},
        {{"--help"}, Action::ShowHelp, false, {}, ""},
        {{"/d", "-h", "--bogus"}, Action::ShowHelp, false, {}, ""},
        {{"--version", "a", "b"}, Action::ShowVersion, false, {}, ""},
        {{"--user-folder", "drives/WX31"}, Action::Start, true, "drives/WX31", ""},
        {{"/d", "--user-folder"}, Action::Start, true, "/d", ""},
        {{"--", "--help"}, Action::Start, false, "--help", ""},
        {{""}, Action::Start, false, "", ""},
        {{"--bogus", "/d"}, Action::UsageError, false, {}, "unknown option '--bogus'"},
        {{"/a", "/b"}, Action::UsageError, false, "/a", "one FOLDER only, not '/a' and '/b'"},
    };
    for (const auto& c : cases) {
        const WindowArguments parsed = parseWindowArguments(c.args);
        const std::string label = ::testing::PrintToString(c.args);
        EXPECT_EQ(parsed.action, c.action) << label;
        EXPECT_EQ(parsed.userFolder, c.userFolder) << label;
        EXPECT_EQ(parsed.folder, c.folder) << label;
        EXPECT_EQ(parsed.problem, c.problem) << label;
    }
}

TEST(FolderArgument, AbsoluteAsThePathSelectorGivesItOrWhyNot) {
    TempFolder start;
    const std::string drive = start.makeFolder("WX31");
    start.write("notes.txt", "x");
    CurrentDirectoryGuard inStart(start.path());
    const struct {
        std::string argument;
        std::string folder;
    } cases[] = {
        {"WX31", drive},
        {"WX31/", drive},
        {"./WX31/../WX31//", drive},
        {".", start.path()},
        {"/..", "/"},
        {"missing", "Cannot open folder \"missing\". No such file or directory"},
        {"notes.txt", "Cannot open folder \"notes.txt\". Not a directory"},
        {"", "Cannot open folder \"\". No such file or directory"},
    };
    for (const auto& c : cases) {
        std::string got;
        try {
            got = folderArgument(c.argument);
        } catch (const Error& error) {
            got = error.message();
        }
        EXPECT_EQ(got, c.folder) << c.argument;
    }
}

TEST(UserFolder, XdgConfigHomeWhenAbsoluteElseTheHomeFolder) {
    EXPECT_EQ(userFolderPath("/x/config/", "/home/u"), "/x/config/dravik");
    EXPECT_EQ(userFolderPath("", "/home/u"), "/home/u/.config/dravik");
    EXPECT_EQ(userFolderPath("config", "/home/u"), "/home/u/.config/dravik");
    EXPECT_EQ(userFolderPath("", "home"), "");
    EXPECT_EQ(thrownMessage<Error>([] { enterUserFolder(""); }),
              "No user folder: neither XDG_CONFIG_HOME nor HOME is an absolute path");
}

// Made on first use, for the user only, with the default settings, and made
// the current directory; a settings file that is there already stays as it is.
TEST(UserFolder, MadeOnFirstUseAndItsSettingsFileNeverTouched) {
    const struct {
        const char* name;    // of a settings file there before; nullptr: no folder
        const char* content; // its content; nullptr: a link to nowhere
    } cases[] = {{nullptr, nullptr}, {"Dravik.ini", "[Mod]\r\n"}, {"DRAVIK.INI", ""},
                 {"Dravik.ini", nullptr}};
    for (const auto& c : cases) {
        TempFolder home;
        CurrentDirectoryGuard back(home.path());
        const std::string folder = userFolderPath("", home.path());
        const std::string settings = joinPath(folder, c.name ? c.name : "Dravik.ini");
        if (c.name) {
            std::filesystem::create_directories(folder);
            if (c.content)
                writeFileSafely(settings, c.content, WriteStyle::Whole);
            else
                std::filesystem::create_symlink("/nowhere/Dravik.ini", settings);
        }
        const std::string label = c.name ? c.name : "first use";
        enterUserFolder(folder);
        EXPECT_EQ(currentDirectory(), folder) << label;
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{nameOf(settings)}) << label;
        EXPECT_EQ(fileContent(settings), !c.name      ? std::string(defaultSettingsContent())
                                         : c.content ? c.content
                                                     : "<missing>")
            << label;
        for (const std::string& made : {folderOf(folder), folder}) {
            struct stat info {};
            ASSERT_EQ(::stat(made.c_str(), &info), 0);
            if (!c.name) {
                EXPECT_EQ(info.st_mode & 0777, 0700u) << made;
            }
        }
    }

    TempFolder home;
    home.write(".config", "a file in the way");
    CurrentDirectoryGuard back(home.path());
    const std::string folder = userFolderPath("", home.path());
    EXPECT_EQ(thrownMessage<Error>([&] { enterUserFolder(folder); }),
              "Cannot create folder \"" + folder + "\". Not a directory");
    EXPECT_EQ(currentDirectory(), home.path());
}

} // namespace
} // namespace dravik
