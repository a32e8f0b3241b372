#include "platform/file_system.h"
#include "support/test_support.h"
#include "workspace/command_rules.h"
#include "workspace/loader_list.h"
#include "workspace/loader_list_fixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace dravik {
namespace {

using testing::TempFolder;

TEST(ModuleCommandRule, HiddenFilesAndOtherExtensionsDoNotCount) {
    TempFolder folder;
    folder.write(".a.rpm", "x");
    folder.write("a.rpmx", "x");
    folder.write("rpm", "x");
    EXPECT_FALSE(moduleCommandsEnabled(folder.path()));
}

TEST(ModuleCommandRule, TheFirstEntryMustBeAPlainFileOrALinkToOne) {
    // What comes first is made by each row; a plain "b.rpm" always follows it.
    const struct {
        const char* first;
        bool enabled;
        void (*make)(const std::string& path, const TempFolder& folder);
    } cases[] = {
        {"a link to a plain file", true,
         [](const std::string& path, const TempFolder& folder) {
             ASSERT_EQ(::symlink(folder.write("target", "x").c_str(), path.c_str()), 0);
         }},
        {"a link to nothing", false,
         [](const std::string& path, const TempFolder&) {
             ASSERT_EQ(::symlink("missing", path.c_str()), 0);
         }},
        {"a link to a folder", false,
         [](const std::string& path, const TempFolder& folder) {
             ASSERT_EQ(::symlink(folder.makeFolder("sub").c_str(), path.c_str()), 0);
         }},
        {"a pipe", false,
         [](const std::string& path, const TempFolder&) {
             ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
         }},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        folder.write("b.rpm", "x");
        c.make(folder.file("a.rpm"), folder);
        EXPECT_EQ(moduleCommandsEnabled(folder.path()), c.enabled) << c.first;
    }
}

TEST(FolderAbove, ParentThenRootThenTheComputerLevelWhichStays) {
    EXPECT_EQ(folderAbove("/srv/drives/WX31"), "/srv/drives");
    EXPECT_EQ(folderAbove("/srv/drives/WX31/"), "/srv/drives");
    EXPECT_EQ(folderAbove("/srv"), "/");
    EXPECT_EQ(folderAbove("/"), kComputerLevel);
    EXPECT_EQ(folderAbove(kComputerLevel), kComputerLevel);
}

using testing::LoaderListTest;

TEST_F(LoaderListTest, StartsOnTheCurrentDirectoryAndReadsSortedLoadersOnly) {
    start.write("b.LDR", "x");
    start.write("A.ldr", "x");
    start.write(".hidden.ldr", "x");
    start.write("c.rpm", "x");
    start.makeFolder("d.ldr");
    LoaderList list;
    EXPECT_EQ(list.folder(), currentDirectory());
    EXPECT_TRUE(list.files().empty()) << "not read before the window shows it";
    list.reread();
    EXPECT_EQ(list.files(), (std::vector<std::string>{"A.ldr", "b.LDR"}));
    EXPECT_FALSE(list.selected());
    EXPECT_EQ(list.selectedPath(), "");
}

TEST_F(LoaderListTest, FoldersThatDifferOnlyByCaseAreDifferentFolders) {
    const std::string lower = other.makeFolder("drive");
    const std::string upper = other.makeFolder("DRIVE");
    other.write("DRIVE/u.ldr", "x");
    LoaderList list;
    ASSERT_TRUE(list.moveTo(lower));
    EXPECT_TRUE(list.files().empty());
    EXPECT_TRUE(list.moveTo(upper));
    EXPECT_EQ(list.files(), std::vector<std::string>{"u.ldr"});
    EXPECT_EQ(currentDirectory(), upper);
}

} // namespace
} // namespace dravik
