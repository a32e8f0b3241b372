#include "platform/file_system.h"

#include "platform/errors.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace dravik {
namespace {

using testing::fileContent;
using testing::TempFolder;
using testing::thrownMessage;

TEST(EnumerationOrder, UpperCasedNamesFirstThenTheirBytes) {
    // Each name sorts before the next one; a name that is a prefix of another comes
    // first. The last two are "А.rpm" and "а.rpm" in UTF-8.
    const std::vector<std::string> ordered = {
        "A.rpm",     "a.rpm", "A.RPM.rpm", "a.rpm.rpm", "ab.rpm",       "a_b.rpm",      "B.RPM",
        "b.rpm.rpm", "Z.rpm", "z_.rpm",    "_x.rpm",    "\xD0\x90.rpm", "\xD0\xB0.rpm",
    };
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        for (std::size_t j = 0; j < ordered.size(); ++j)
            EXPECT_EQ(enumerationLess(ordered[i], ordered[j]), i < j)
                << ordered[i] << " / " << ordered[j];
    }
}

TEST(ListFiles, FolderTextsThatAreNotAbsolutePathsGiveNothing) {
    TempFolder folder;
    folder.makeFolder("sub");
    folder.write("sub/x.rpm", "data");
    testing::CurrentDirectoryGuard here(folder.path());
    for (const char* text : {"sub", "./sub", "", "computer:///"})
        EXPECT_TRUE(listFiles(text, ".rpm").empty()) << text;
    EXPECT_TRUE(listFiles(folder.file("missing"), ".rpm").empty());
    EXPECT_EQ(listFiles(folder.file("sub"), ".rpm").size(), 1u);
}

// Several extensions in one reading; each file with the stamp that
// plainFileStamp gives it.
TEST(ListFiles, OfSeveralExtensionsGivesEachFileWithItsStamp) {
    TempFolder folder;
    folder.write("b.LDR", "loader");
    folder.write("a.rpm", "module bytes");
    folder.write("notes.txt", "not a drive file");
    std::vector<std::string> listed;
    for (const DirEntry& entry : listFiles(folder.path(), {".rpm", ".ldr"})) {
        const std::optional<FileStamp> stamp = plainFileStamp(folder.file(entry.name));
        ASSERT_TRUE(stamp) << entry.name;
        EXPECT_EQ(FileStamp(static_cast<std::int64_t>(entry.size), entry.modified), *stamp) << entry.name;
        listed.push_back(entry.name);
    }
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"a.rpm", "b.LDR"}));
}

TEST(PieceReader, ReadsExactPiecesAndWordsItsFailures) {
    TempFolder folder;
    PieceReader reader(folder.write("f", "0123456789"));
    EXPECT_EQ(reader.read(7, 3), "789");
    EXPECT_EQ(thrownMessage<InOutError>([&] { reader.read(8, 3); }), "Read beyond end of file");
    EXPECT_EQ(thrownMessage<InOutError>([&] { PieceReader(folder.file("none")); }),
              "File not found");
}

TEST(RenameWithoutReplacing, NeverReplacesAnExistingFile) {
    TempFolder folder;
    const std::string from = folder.write("old.ldr", "old");
    const std::string taken = folder.write("taken.ldr", "taken");
    EXPECT_EQ(renameWithoutReplacing(from, taken), kErrorFileExists);
    EXPECT_EQ(fileContent(from), "old");
    EXPECT_EQ(fileContent(taken), "taken");

    EXPECT_EQ(renameWithoutReplacing(from, folder.file("new.ldr")), 0);
    EXPECT_EQ(fileContent(from), "<missing>");
    EXPECT_EQ(fileContent(folder.file("new.ldr")), "old");
}

TEST(IsValidFileName, RefusesSeparatorsReservedAndControlCharacters) {
    for (const char* name : {"a.ldr", "VM 2F_Ares 64.ldr", "\xC0\xE1.ldr"})
        EXPECT_TRUE(isValidFileName(name)) << name;
    for (const char* name : {"", ".", "..", "a/b", "a\\b", "a:b", "a*", "a?", "a\"b", "<a", "a>",
                             "a|b", "a\tb", "a\x7F"})
        EXPECT_FALSE(isValidFileName(name)) << name;
}

} // namespace
} // namespace dravik
