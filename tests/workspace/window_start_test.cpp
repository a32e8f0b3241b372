#include "platform/errors.h"
#include "support/test_support.h"
#include "workspace/user_folder.h"
#include "workspace/window_start.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

using testing::CurrentDirectoryGuard;
using testing::TempFolder;
using Action = WindowArguments::Action;

TEST(UserFolder, OnWindowsTheDravikFolderOfAnAbsoluteAppData) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Users\\u\\AppData\\Roaming", "C:\\Users\\u\\AppData\\Roaming\\Dravik"},
        {"C:\\Roaming\\", "C:\\Roaming\\Dravik"},
        {"\\\\server\\u", "\\\\server\\u\\Dravik"},
        {"C:/Users/u/AppData/Roaming", "C:/Users/u/AppData/Roaming\\Dravik"},
        {"C:/Roaming/", "C:/Roaming/Dravik"},
        {"Roaming", ""},
        {"C:Roaming", ""},
        {"", ""},
    };
    for (const auto& [appData, folder] : cases)
        EXPECT_EQ(windowsUserFolderPath(appData), folder) << appData;
}

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
        {"missing", "Cannot open folder \"missing\". " + systemErrorText(kErrorFileNotFound)},
        {"notes.txt", "Cannot open folder \"notes.txt\". " + systemErrorText(kErrorNotAFolder)},
        {"", "Cannot open folder \"\". " + systemErrorText(kErrorFileNotFound)},
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

} // namespace
} // namespace dravik
