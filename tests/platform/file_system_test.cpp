#include "platform/file_system.h"

#include "platform/errors.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

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

TEST(ListFiles, PlainFilesInUpperCasedOrderWithTiesByBytes) {
    TempFolder folder;
    // "_" sorts after the letters once they are upper-cased, before the small ones in bytes.
    for (const char* name : {"_x.rpm", "b.rpm", "a.rpm", "Z.rpm", "A.rpm", "C.RPM", "m.txt",
                             ".hidden.rpm"})
        folder.write(name, "data");
    folder.makeFolder("f.rpm");
    std::filesystem::create_symlink(folder.file("b.rpm"), folder.file("l.rpm"));
    std::filesystem::create_symlink(folder.file("gone"), folder.file("d.rpm"));

    std::vector<std::string> names;
    for (const DirEntry& entry : listFiles(folder.path(), ".rpm")) {
        names.push_back(entry.name);
        EXPECT_EQ(entry.size, 4u) << entry.name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"A.rpm", "a.rpm", "b.rpm", "C.RPM", "l.rpm",
                                               "Z.rpm", "_x.rpm"}));

    std::vector<DirEntry> entries = listEntries(folder.path() + "/", ".rpm");
    ASSERT_EQ(entries.size(), 9u);
    EXPECT_EQ(entries[2].name, "b.rpm");
    EXPECT_EQ(entries[4].name, "d.rpm");
    EXPECT_EQ(entries[4].kind, EntryKind::Other);
    EXPECT_EQ(entries[5].name, "f.rpm");
    EXPECT_EQ(entries[5].kind, EntryKind::Folder);
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

TEST(ReadWholeFile, GivesTheBytesOrTheOpenErrorText) {
    TempFolder folder;
    const std::string bytes("\0\x01\xFFtail", 7);
    EXPECT_EQ(readWholeFile(folder.write("f.rpm", bytes)), bytes);
    const std::string missing = folder.file("none.rpm");
    EXPECT_EQ(thrownMessage<FileOpenError>([&] { readWholeFile(missing); }),
              "Cannot open file \"" + missing + "\". No such file or directory");
    EXPECT_EQ(thrownMessage<FileOpenError>([&] { readWholeFile(folder.path()); }),
              "Cannot open file \"" + folder.path() + "\". Is a directory");
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
    EXPECT_EQ(renameWithoutReplacing(from, taken), EEXIST);
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

TEST(WriteFileSafely, ReplacesTheFileAndWordsCreateFailuresByStyle) {
    TempFolder folder;
    const std::string path = folder.write("Dravik.ini", "old");
    writeFileSafely(path, "new\r\n", WriteStyle::Whole);
    EXPECT_EQ(fileContent(path), "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);

    const std::string nowhere = folder.file("missing/Dravik.ini");
    EXPECT_EQ(thrownMessage<FileOpenError>(
                  [&] { writeFileSafely(nowhere, "x", WriteStyle::Whole); }),
              "Cannot create file \"" + nowhere + "\". No such file or directory");
    EXPECT_EQ(thrownMessage<InOutError>([&] { writeFileSafely(nowhere, "x", WriteStyle::Pieces); }),
              "File not found");
}

} // namespace
} // namespace dravik
