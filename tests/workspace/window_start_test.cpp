#include "platform/errors.h"
#include "platform/file_system.h"
#include "settings/default_settings.h"
#include "support/test_support.h"
#include "workspace/window_start.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

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
        {{"-"}, Action::Start, false, "-", ""},
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
        {drive + "/", drive},
        {".", start.path()},
        {"/", "/"},
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
    EXPECT_EQ(userFolderPath("/x/config", "/home/u"), "/x/config/dravik");
    EXPECT_EQ(userFolderPath("/x/config/", "/home/u"), "/x/config/dravik");
    EXPECT_EQ(userFolderPath("", "/home/u"), "/home/u/.config/dravik");
    EXPECT_EQ(userFolderPath("config", "/home/u"), "/home/u/.config/dravik");
    EXPECT_EQ(userFolderPath("", "home"), "");
    EXPECT_EQ(thrownMessage<Error>([] { enterUserFolder(""); }),
              "No user folder: neither XDG_CONFIG_HOME nor HOME is an absolute path");
}

// The folder is made on first use with the default settings and becomes the
// current directory; a settings file that is there already stays as it is.
TEST(UserFolder, MadeOnFirstUseAndItsSettingsFileNeverTouched) {
    const std::string defaults(defaultSettingsContent());
    const struct {
        const char* label;
        std::function<void(const std::string& folder)> before;
        std::vector<std::string> names;
        std::string settings; // of the name the commands read
    } cases[] = {
        {"nothing there", [](const std::string&) {}, {"Dravik.ini"}, defaults},
        {"an empty folder",
         [](const std::string& f) { std::filesystem::create_directories(f); },
         {"Dravik.ini"},
         defaults},
        {"the user's own settings",
         [](const std::string& f) {
             std::filesystem::create_directories(f);
             writeFileSafely(joinPath(f, "Dravik.ini"), "[Mod]\r\n", WriteStyle::Whole);
         },
         {"Dravik.ini"},
         "[Mod]\r\n"},
        {"settings copied from Windows",
         [](const std::string& f) {
             std::filesystem::create_directories(f);
             writeFileSafely(joinPath(f, "DRAVIK.INI"), "", WriteStyle::Whole);
         },
         {"DRAVIK.INI"},
         ""},
        {"a link to settings not there yet",
         [](const std::string& f) {
             std::filesystem::create_directories(f);
             std::filesystem::create_symlink("/nowhere/Dravik.ini", joinPath(f, "Dravik.ini"));
         },
         {"Dravik.ini"},
         "<missing>"},
    };
    for (const auto& c : cases) {
        TempFolder home;
        const std::string folder = userFolderPath("", home.path());
        c.before(folder);
        CurrentDirectoryGuard back(home.path());
        EXPECT_EQ(thrownMessage<Error>([&] { enterUserFolder(folder); }), "<no error>")
            << c.label;
        EXPECT_EQ(currentDirectory(), folder) << c.label;
        EXPECT_EQ(namesIn(folder), c.names) << c.label;
        EXPECT_EQ(fileContent(joinPath(folder, c.names.front())), c.settings) << c.label;
    }

    // Folders made for the user are the user's alone.
    TempFolder home;
    CurrentDirectoryGuard back(home.path());
    enterUserFolder(userFolderPath("", home.path()));
    for (const char* made : {"/.config", "/.config/dravik"}) {
        struct stat info {};
        ASSERT_EQ(::stat((home.path() + made).c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << made;
    }
}

TEST(UserFolder, AFolderThatCannotBeMadeIsAnErrorAndTheCurrentDirectoryStays) {
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
