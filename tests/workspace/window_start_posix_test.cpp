#include "platform/errors.h"
#include "platform/file_system.h"
#include "settings/default_settings.h"
#include "support/test_support.h"
#include "workspace/user_folder.h"
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

TEST(FolderArgument, AboveTheRootIsTheRoot) {
    EXPECT_EQ(folderArgument("/.."), "/");
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
