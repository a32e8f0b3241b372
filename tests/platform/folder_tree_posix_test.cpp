#include "platform/folder_tree.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace dravik {
namespace {

using testing::TempFolder;

// A shop's tree: drive folders at several depths, a folder of other files,
// a hidden drive, a link back up and a link to a drive folder.
TEST(FoldersHolding, FindsEachDriveFolderOnceInOrder) {
    TempFolder root;
    for (const char* folder : {"b", "A", "A/inner", "notes", ".old", "b/deeper", "b/deeper/x"})
        root.makeFolder(folder);
    root.write("top.LDR", "");
    root.write("A/inner/p.rpm", "");
    root.write("b/deeper/x/r.Rpm", "");
    root.write("notes/a.txt", "");
    root.write(".old/p.rpm", "");
    std::filesystem::create_symlink(root.path(), root.file("b/up"));
    std::filesystem::create_symlink(root.file("A/inner"), root.file("inner-link"));
    // A link to a drive file is a drive file.
    std::filesystem::create_symlink(root.file("top.LDR"), root.file("notes/l.ldr"));

    const FolderTree tree = foldersHolding(root.path(), {".rpm", ".ldr"});

    EXPECT_EQ(tree.holding, (std::vector<std::string>{root.path(), root.file("A/inner"),
                                                      root.file("b/deeper/x"), root.file("notes")}));
    EXPECT_TRUE(tree.unreadable.empty());
}

TEST(FoldersHolding, NamesAFolderThatCannotBeReadAndGoesOn) {
    TempFolder root;
    root.makeFolder("closed");
    root.makeFolder("open");
    root.write("open/p.rpm", "");
    ::chmod(root.file("closed").c_str(), 0);
    testing::giveToOrdinaryUser(root.path());
    const std::string said = testing::runAsOrdinaryUser([&] {
        const FolderTree tree = foldersHolding(root.path(), {".rpm"});
        std::string text;
        for (const std::string& folder : tree.holding)
            text += folder + "\n";
        for (const UnreadableFolder& folder : tree.unreadable)
            text += folder.path + ": " + folder.reason + "\n";
        return text;
    });
    ::chmod(root.file("closed").c_str(), 0700);
    EXPECT_EQ(said, root.file("open") + "\n" + root.file("closed") + ": Permission denied\n");
}

} // namespace
} // namespace dravik
