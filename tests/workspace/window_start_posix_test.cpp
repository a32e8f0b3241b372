#include "platform/errors.h"
#include "platform/file_system.h"
#include "settings/default_settings.h"
#include "support/test_support.h"
#include "workspace/user_folder.h"
#include "workspace/window_start.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

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
}

// A user folder that can't be made is named with the system's reason, and the
// current directory stays where it was.
TEST(UserFolder, AFolderThatCantBeMadeIsNamedWithTheReason) {
    namespace fs = std::filesystem;
    const struct {
        const char* name;
        void (*prepare)(const std::string& home);
        const char* reason; // after "Cannot create folder "<home>/.config/dravik". "
    } cases[] = {
        {"a file in the way",
         [](const std::string& h) { writeFileSafely(h + "/.config", "x", WriteStyle::Whole); },
         "Not a directory"},
        {"a link to nowhere",
         [](const std::string& h) { fs::create_symlink("none", h + "/.config"); },
         "\"<home>/.config\" is a link to nowhere"},
        {"a read-only home", [](const std::string& h) { ::chmod(h.c_str(), 0555); },
         "Permission denied"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder parent;
        ASSERT_EQ(::chmod(parent.path().c_str(), 0755), 0);
        // An ordinary user owns the home, so that its modes hold for it.
        const std::string home = parent.makeFolder("home");
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(home.c_str(), testing::kOrdinaryUserId, testing::kOrdinaryUserId), 0);
        }
        std::string reason = c.reason;
        if (const auto at = reason.find("<home>"); at != std::string::npos)
            reason.replace(at, 6, home);
        const std::string outcome = testing::runAsOrdinaryUser([&] {
            c.prepare(home);
            CurrentDirectoryGuard back(home);
            return thrownMessage<Error>([&] { enterUserFolder(userFolderPath("", home)); }) + "|" +
                   currentDirectory();
        });
        EXPECT_EQ(outcome,
                  "Cannot create folder \"" + home + "/.config/dravik\". " + reason + "|" + home);
        ::chmod(home.c_str(), 0755);
    }
}

} // namespace
} // namespace dravik
