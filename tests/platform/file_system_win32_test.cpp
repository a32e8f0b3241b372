#include "platform/file_system.h"

#include "platform/errors.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace dravik {
namespace {

using testing::fileContent;
using testing::namesIn;
using testing::TempFolder;
using testing::thrownMessage;

std::wstring wide(const std::string& path) {
    return testing::fsPath(path).wstring();
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : ",") + part;
    return text;
}

std::string listed(const std::vector<DirEntry>& entries) {
    std::vector<std::string> names;
    for (const DirEntry& entry : entries)
        names.push_back(entry.name + (entry.kind == EntryKind::Folder ? "/" : ""));
    return joined(names);
}

std::string orNone(const std::optional<std::string>& text) {
    return text.value_or("-");
}

void setAttribute(const std::string& path, DWORD attribute, bool on) {
    const DWORD now = ::GetFileAttributesW(wide(path).c_str());
    ::SetFileAttributesW(wide(path).c_str(), on ? now | attribute : now & ~attribute);
}

// The file's identity on its volume: a replaced file has a new one.
ULONGLONG fileIndex(const std::string& path) {
    HANDLE file = ::CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    ::GetFileInformationByHandle(file, &info);
    ::CloseHandle(file);
    return (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
}

// Another program holding path open with the given sharing while f runs.
std::string whileHeld(const std::string& path, DWORD sharing,
                      const std::function<std::string()>& f) {
    HANDLE held = ::CreateFileW(wide(path).c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                                0, nullptr);
    const std::string result = f();
    ::CloseHandle(held);
    return result;
}

struct Rule {
    const char* name;
    /// What the rule gives, the temporary folder's path written as "<f>".
    std::function<std::string(const TempFolder&)> outcome;
    std::string expected;
};

// The rules of the file layer that Windows alone has.
const Rule kRules[] = {
    {"a backslash joins, none is doubled after a root",
     [](const TempFolder&) {
         return joinPath("C:\\Drives", "x.rpm") + "|" + joinPath("C:\\", "x.rpm") + "|" +
                joinPath("C:/Drives/", "x");
     },
     "C:\\Drives\\x.rpm|C:\\x.rpm|C:/Drives/x"},
    {"either separator splits; a drive root keeps its backslash",
     [](const TempFolder&) {
         return folderOf("C:\\x.ldr") + "|" + folderOf("C:\\a/b\\x.ldr") + "|" +
                folderOf("\\\\srv\\share\\x") + "|" + nameOf("C:\\a/b\\x.ldr") + "|" +
                nameOf("C:x.ldr") + "|" + folderOf("x.ldr");
     },
     "C:\\|C:\\a/b|\\\\srv\\share|x.ldr|x.ldr|."},
    {"the parent of a drive or network root is the computer level",
     [](const TempFolder&) {
         return orNone(parentFolder("C:\\Drives\\One")) + "|" +
                orNone(parentFolder("C:\\Drives\\")) + "|" + orNone(parentFolder("C:\\")) + "|" +
                orNone(parentFolder("\\\\srv\\share\\x")) + "|" +
                orNone(parentFolder("\\\\srv\\share")) + "|" + orNone(parentFolder("Drives")) +
                "|" + orNone(parentFolder("computer:///"));
     },
     "C:\\Drives|C:\\|-|\\\\srv\\share|-|-|-"},
    {"a path from a folder: absolute, from the root of its drive, relative, drive-relative",
     [](const TempFolder&) {
         return resolvePath("C:\\Start", "D:\\x") + "|" + resolvePath("C:\\Start", "\\x") + "|" +
                resolvePath("C:\\Start", "x\\y") + "|" + resolvePath("C:\\Start", "\\\\srv\\s\\x") +
                "|" + resolvePath("C:\\Start", "c:x");
     },
     "D:\\x|C:\\x|C:\\Start\\x\\y|\\\\srv\\s\\x|C:\\Start\\x"},
    {"a drive alone names that drive's current folder",
     [](const TempFolder& f) {
         testing::CurrentDirectoryGuard here(f.path());
         const std::string drive = f.path().substr(0, 2);
         setCurrentDirectory(drive);
         return currentFolderOfDrive(f.path()[0]) + "|" + resolvePath("Q:\\other", drive + "x") +
                "|" + currentDirectory();
     },
     "<f>|<f>\\x|<f>"},
    {"a drive root is the current directory with its backslash",
     [](const TempFolder& f) {
         testing::CurrentDirectoryGuard here(f.path());
         setCurrentDirectory(f.path().substr(0, 2) + "\\");
         return std::to_string(currentDirectory() == f.path().substr(0, 3));
     },
     "1"},
    {"folders are the same whatever the case of their letters, Cyrillic ones too",
     [](const TempFolder&) {
         return std::to_string(sameFolder("C:\\Drives", "c:\\DRIVES")) +
                std::to_string(sameFolder("C:\\\xD0\x94\xD0\xB8\xD1\x81\xD0\xBA",
                                          "C:\\\xD0\x94\xD0\x98\xD0\xA1\xD0\x9A")) +
                std::to_string(sameFolder("C:\\Drives", "C:\\Drive"));
     },
     "110"},
    {"a doubled backslash reads as one, in a path and in a pattern",
     [](const TempFolder& f) {
         f.write("x.rpm", "data");
         return readWholeFile(f.path() + "\\\\x.rpm") + "|" +
                listed(listFiles(f.path() + "\\", ".rpm"));
     },
     "data|x.rpm"},
    {"hidden and system files, folders and longer extensions are not listed",
     [](const TempFolder& f) {
         for (const char* name : {"a.rpm", "h.rpm", "s.rpm", "a.rpmx", "b.RPM"})
             f.write(name, "x");
         setAttribute(f.file("h.rpm"), FILE_ATTRIBUTE_HIDDEN, true);
         setAttribute(f.file("s.rpm"), FILE_ATTRIBUTE_SYSTEM, true);
         f.makeFolder("d.rpm");
         return listed(listFiles(f.path(), ".rpm")) + "|" + listed(listEntries(f.path(), ".rpm"));
     },
     "a.rpm,b.RPM|a.rpm,b.RPM,d.rpm/"},
    {"the system's texts end without a full stop, and name the code's cause",
     [](const TempFolder& f) {
         const std::string missing = f.file("none.rpm");
         const std::string text = systemErrorText(ERROR_FILE_NOT_FOUND);
         return std::to_string(!text.empty() && text.back() != '.' && text.back() != '\n') + "|" +
                std::to_string(thrownMessage<FileOpenError>([&] { readWholeFile(missing); }) ==
                               "Cannot open file \"" + missing + "\". " + text) +
                std::to_string(thrownMessage<FileOpenError>([&] { readWholeFile(f.path()); }) ==
                               "Cannot open file \"" + f.path() + "\". " +
                                   systemErrorText(ERROR_ACCESS_DENIED));
     },
     "1|11"},
    {"error codes of files read or written piece by piece",
     [](const TempFolder&) {
         std::vector<std::string> texts;
         for (int code : {2, 3, 5, 19, 32, 33, 39, 112, 223, 1295, 87})
             texts.push_back(inOutError(code).message());
         return joined(texts);
     },
     "File not found,File not found,File access denied,File access denied,File access denied,"
     "File access denied,Disk full,Disk full,Disk full,Disk full,I/O error 87"},
    {"a missing folder fails the write with the system's code for a missing path",
     [](const TempFolder& f) {
         const std::string nowhere = f.file("missing\\Dravik.ini");
         return thrownMessage<FileOpenError>([&] {
                    writeFileSafely(nowhere, "x", WriteStyle::Whole);
                }) == "Cannot create file \"" + nowhere + "\". " +
                            systemErrorText(ERROR_PATH_NOT_FOUND)
                    ? thrownMessage<InOutError>(
                          [&] { writeFileSafely(nowhere, "x", WriteStyle::Pieces); })
                    : "other text";
     },
     "File not found"},
    {"ReplaceFileW puts the new file in place keeping the earlier one's attributes",
     [](const TempFolder& f) {
         const std::string path = f.write("Dravik.ini", "earlier");
         setAttribute(path, FILE_ATTRIBUTE_HIDDEN, true);
         const ULONGLONG before = fileIndex(path);
         writeFileSafely(path, "new", WriteStyle::Whole);
         const bool hidden = ::GetFileAttributesW(wide(path).c_str()) & FILE_ATTRIBUTE_HIDDEN;
         return fileContent(path) + "|" + (hidden ? "hidden" : "shown") + "|" +
                (fileIndex(path) != before ? "replaced" : "in place") + "|" +
                joined(namesIn(f.path()));
     },
     "new|hidden|replaced|Dravik.ini"},
    {"a read-only file is left as it was",
     [](const TempFolder& f) {
         const std::string path = f.write("$Dravik.txt", "earlier");
         setAttribute(path, FILE_ATTRIBUTE_READONLY, true);
         const std::string whole =
             thrownMessage<FileOpenError>([&] { writeFileSafely(path, "x", WriteStyle::Whole); });
         const std::string pieces =
             thrownMessage<InOutError>([&] { writeFileSafely(path, "x", WriteStyle::Pieces); });
         setAttribute(path, FILE_ATTRIBUTE_READONLY, false);
         return std::to_string(whole == "Cannot create file \"" + path + "\". " +
                                            systemErrorText(kErrorAccessDenied)) +
                "|" + pieces + "|" + fileContent(path);
     },
     "1|File access denied|earlier"},
    {"a file that another program holds open without sharing is left as it was",
     [](const TempFolder& f) {
         const std::string path = f.write("$Dravik.txt", "earlier");
         return whileHeld(path, FILE_SHARE_READ,
                          [&] {
                              return thrownMessage<InOutError>(
                                  [&] { writeFileSafely(path, "new", WriteStyle::Pieces); });
                          }) +
                "|" + fileContent(path) + "|" + joined(namesIn(f.path()));
     },
     "File access denied|earlier|$Dravik.txt"},
    {"a file held open with writing shared but not deleting is written in place",
     [](const TempFolder& f) {
         const std::string path = f.write("$Dravik.txt", "earlier");
         const ULONGLONG before = fileIndex(path);
         whileHeld(path, FILE_SHARE_READ | FILE_SHARE_WRITE, [&] {
             writeFileSafely(path, "new", WriteStyle::Pieces);
             return std::string();
         });
         return fileContent(path) + "|" + (fileIndex(path) == before ? "in place" : "replaced") +
                "|" + joined(namesIn(f.path()));
     },
     "new|in place|$Dravik.txt"},
    {"a file with a second hard link is written in place",
     [](const TempFolder& f) {
         const std::string path = f.write("$Dravik.txt", "earlier");
         ::CreateHardLinkW(wide(f.file("copy.txt")).c_str(), wide(path).c_str(), nullptr);
         writeFileSafely(path, "new", WriteStyle::Pieces);
         return fileContent(path) + "|" + fileContent(f.file("copy.txt"));
     },
     "new|new"},
    {"a device is no plain file, and nothing waits on it",
     [](const TempFolder&) {
         std::string bytes = "stale";
         const bool read = readPlainFile("NUL", bytes);
         writeFileSafely("NUL", "gone", WriteStyle::Pieces);
         return std::to_string(read) + "|" + bytes + "|" +
                std::to_string(PieceReader::openIfPlain("NUL").has_value()) + "|" +
                thrownMessage<InOutError>([] { PieceReader reader("NUL"); });
     },
     "0||0|File not found"},
    {"a name in any case is the settings file's name",
     [](const TempFolder& f) {
         f.write("DRAVIK.INI", "[Mod]");
         return listed(listFilesNamed(f.path(), "Dravik.ini")) + "|" +
                std::to_string(pathExists(f.file("Dravik.ini")));
     },
     "DRAVIK.INI|1"},
    {"a temporary folder of the user's own, removed with its file",
     [](const TempFolder&) {
         const std::string folder = makeTemporaryFolder("dravik-test-");
         const std::string file = joinPath(folder, "Dravik.ini");
         writeFileSafely(file, "[Mod]", WriteStyle::Whole);
         const bool made =
             isFolder(folder) && nameOf(folder).starts_with("dravik-test-") &&
             folder.starts_with(testing::utf8Of(std::filesystem::temp_directory_path()));
         removeFileAndFolder(file, folder);
         return std::to_string(made) + std::to_string(pathExists(folder));
     },
     "10"},
    {"a path longer than MAX_PATH is written and read",
     [](const TempFolder& f) {
         const std::string deep = f.file(std::string(200, 'd'));
         ::CreateDirectoryW((L"\\\\?\\" + wide(deep)).c_str(), nullptr);
         const std::string path = joinPath(deep, std::string(100, 'n') + ".txt");
         writeFileSafely(path, "long", WriteStyle::Pieces);
         writeFileSafely(path, "longer", WriteStyle::Pieces);
         return readWholeFile(path) + "|" + std::to_string(listFiles(deep, ".txt").size());
     },
     "longer|1"},
};

TEST(Win32FileSystem, WindowsOwnRules) {
    for (const Rule& rule : kRules) {
        TempFolder folder;
        std::string outcome = rule.outcome(folder);
        for (std::size_t at; (at = outcome.find(folder.path())) != std::string::npos;)
            outcome.replace(at, folder.path().size(), "<f>");
        EXPECT_EQ(outcome, rule.expected) << rule.name;
    }
}

} // namespace
} // namespace dravik
