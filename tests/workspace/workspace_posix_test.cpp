#include "platform/file_system.h"
#include "support/test_support.h"
#include "workspace/command_rules.h"
#include "workspace/loader_list.h"
#include "workspace/loader_list_fixture.h"

#include <gtest/gtest.h>

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
