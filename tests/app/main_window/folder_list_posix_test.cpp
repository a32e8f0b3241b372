#include "app/main_window/folder_list_model.h"
#include "support/test_support.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using dravik::testing::TempFolder;

// A folder that can't be opened (a link that leads to itself, which no user
// can read) is said once, not shown as an empty folder; one not there lists nothing.
TEST(FolderList, AFolderThatCantBeReadIsSaidOnce) {
    TempFolder folder;
    std::filesystem::create_directory_symlink(folder.file("loop"), folder.file("loop"));
    for (const auto& [name, trouble] : {std::pair{"loop", "I/O error 40"}, {"gone", ""}}) {
        FolderListModel model;
        QSignalSpy loaded(&model, &FolderListModel::folderLoaded);
        QSignalSpy unreadable(&model, &FolderListModel::folderUnreadable);
        model.setFolder(folder.file(name));
        ASSERT_TRUE(loaded.wait(10000));
        EXPECT_EQ(model.trouble(), trouble);
        EXPECT_EQ(unreadable.count(), *trouble ? 1 : 0) << name;
        EXPECT_EQ(model.rowCount(), 0);
    }
}

} // namespace
