#include "platform/errors.h"
#include "platform/file_system.h"
#include "support/test_support.h"
#include "workspace/loader_list_fixture.h"
#include "workspace/application_title.h"
#include "workspace/command_rules.h"
#include "workspace/loader_list.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

using testing::CurrentDirectoryGuard;
using testing::LoaderListTest;
using testing::TempFolder;

TEST(ApplicationTitle, NameWithoutFolderOrDotsFirstLetterKeepsItsCase) {
    const struct {
        const char* path;
        const char* title;
    } cases[] = {
        {"/usr/bin/Dravik", "Dravik"},
        {"/opt/DRAVIK.EXE", "Dravik"},
        {"dravik.tar.gz", "dravik"},
        {"/x/y/DrAvIk2.0", "Dravik2"},
        {"/x/\xD0\x94\xD0\xA0\xD0\x90\xD0\x92", "\xD0\x94\xD1\x80\xD0\xB0\xD0\xB2"}, // ДРАВ -> Драв
        {"/x/.hidden", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(applicationTitle(c.path), c.title) << c.path;
}

TEST(ModuleCommandRule, OnlyTheFirstEnumeratedEntryCounts) {
    TempFolder folder;
    EXPECT_FALSE(moduleCommandsEnabled(folder.path())) << "no .rpm file";

    folder.write("b.RPM", "x");
    EXPECT_TRUE(moduleCommandsEnabled(folder.path())) << "extension without regard to case";

    // A folder named "a.rpm" comes first: the test fails although a file follows.
    folder.makeFolder("a.rpm");
    EXPECT_FALSE(moduleCommandsEnabled(folder.path()));

    EXPECT_FALSE(moduleCommandsEnabled(kComputerLevel));
    EXPECT_FALSE(moduleCommandsEnabled(""));
}

TEST_F(LoaderListTest, MovingMakesTheFolderCurrentAndReadsIt) {
    other.write("x.ldr", "x");
    LoaderList list;
    list.reread();
    EXPECT_TRUE(list.moveTo(other.path()));
    EXPECT_EQ(currentDirectory(), other.path());
    EXPECT_EQ(list.folder(), other.path());
    EXPECT_EQ(list.files(), std::vector<std::string>{"x.ldr"});

    list.select(0);
    EXPECT_EQ(list.selectedPath(), other.file("x.ldr"));
    // The same folder again: no re-read, the selection stays.
    EXPECT_FALSE(list.moveTo(other.path()));
    EXPECT_EQ(list.selected(), std::optional<std::size_t>(0));
    // The selected file's own path and an empty text do nothing.
    EXPECT_FALSE(list.moveTo(other.file("X.LDR")));
    EXPECT_FALSE(list.moveTo(""));
    EXPECT_EQ(list.selected(), std::optional<std::size_t>(0));
}

TEST_F(LoaderListTest, ALastComponentWithAWildcardOrNamingAFileEntersItsFolder) {
    const std::string file = other.write("notes.txt", "x");
    for (const std::string& text : {file, other.file("*.ldr"), other.file("x?.ldr")}) {
        LoaderList list;
        list.reread();
        EXPECT_TRUE(list.moveTo(text)) << text;
        EXPECT_EQ(list.folder(), other.path()) << text;
        setCurrentDirectory(start.path());
    }
}

TEST_F(LoaderListTest, CDriveStandsForTheCurrentDirectory) {
    LoaderList list;
    list.reread();
    EXPECT_FALSE(list.moveTo("c:"));
    EXPECT_FALSE(list.moveTo("C:"));
    EXPECT_EQ(list.folder(), start.path());
}

TEST_F(LoaderListTest, AFolderThatCannotBeEnteredRaisesAndPutsTheCurrentDirectoryBack) {
    start.write("k.ldr", "x");
    LoaderList list;
    list.reread();
    for (const std::string& text :
         {std::string(kComputerLevel), other.file("missing"), std::string("relative/missing")}) {
        EXPECT_THROW(list.moveTo(text), InOutError) << text;
        EXPECT_EQ(currentDirectory(), start.path()) << text;
        EXPECT_EQ(list.folder(), start.path()) << text;
        EXPECT_EQ(list.files(), std::vector<std::string>{"k.ldr"}) << text;
    }
}

TEST_F(LoaderListTest, ARereadSeesChangesAndSelectsNothing) {
    LoaderList list;
    list.reread();
    start.write("new.ldr", "x");
    list.select(0);
    EXPECT_FALSE(list.selected()) << "nothing to select before the re-read";
    list.reread();
    EXPECT_EQ(list.files(), std::vector<std::string>{"new.ldr"});
    list.select(5);
    EXPECT_FALSE(list.selected());

    // A file the user had selected is no longer selected after a re-read.
    list.select(0);
    ASSERT_EQ(list.selectedPath(), start.file("new.ldr"));
    list.reread();
    EXPECT_FALSE(list.selected());
    EXPECT_EQ(list.selectedPath(), "");
}

} // namespace
} // namespace dravik
