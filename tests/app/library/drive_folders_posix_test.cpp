#include "app/library/library_work.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using dravik::testing::TempFolder;

TEST(LibraryAdd, TheDriveFoldersBelowAFolderLeaveOutHiddenFoldersAndLinks) {
    TempFolder top;
    for (const char* drive : {"b/one", "a", "b/one/two", ".hidden/three"}) {
        top.makeFolder(drive);
        top.write(std::string(drive) + "/x.LDR", "loader");
    }
    top.makeFolder("c");
    top.write("c/notes.txt", "not a drive");
    std::filesystem::create_directory_symlink(top.file("a"), top.file("c/a-again"));
    std::filesystem::create_directory_symlink(top.path(), top.file("c/top"));
    const auto holding = [](const std::string& folder) { return driveFoldersAt(folder).holding; };
    EXPECT_EQ(holding(top.path()),
              (std::vector<std::string>{top.file("a"), top.file("b/one"), top.file("b/one/two")}));
    EXPECT_EQ(holding(top.file("b/one")), std::vector<std::string>{top.file("b/one")});
    EXPECT_EQ(holding(top.file("c")), std::vector<std::string>{});
}

} // namespace
