#include "platform/errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <utility>

namespace dravik {
namespace {

TEST(ErrorReportText, AddsAFullStopAfterCharactersThatSortAfterIt) {
    const std::pair<std::string, std::string> cases[] = {
        {"Disk full", "Disk full."},
        {"I/O error 5", "I/O error 5."},
        {"Done.", "Done."},
        {"Why?", "Why?."},
        {"Stop!", "Stop!"},
        {"\xC4\xE0", "\xC4\xE0."},
        {"", ""},
    };
    for (const auto& [message, shown] : cases)
        EXPECT_EQ(errorReportText(message), shown) << message;
}

TEST(InOutError, WordsEachErrorNumberOfAFileReadOrWrittenPieceByPiece) {
    const std::pair<int, std::string> cases[] = {
        {ENOENT, "File not found"},    {EACCES, "File access denied"},
        {EPERM, "File access denied"}, {EROFS, "File access denied"},
        {ENOSPC, "Disk full"},         {EDQUOT, "Disk full"},
        {EFBIG, "Disk full"},          {EIO, "I/O error 5"},
        {EISDIR, "I/O error 21"},      {ENAMETOOLONG, "I/O error 36"},
    };
    for (const auto& [errorNumber, text] : cases)
        EXPECT_EQ(inOutError(errorNumber).message(), text) << errorNumber;
    EXPECT_EQ(readBeyondEndOfFile().message(), "Read beyond end of file");
}

TEST(FileOpenError, NamesThePathInWindows1251AndTheSystemsReason) {
    // "/tmp/Диск.rpm" in UTF-8
    const std::string path = "/tmp/\xD0\x94\xD0\xB8\xD1\x81\xD0\xBA.rpm";
    const std::string shown = "/tmp/\xC4\xE8\xF1\xEA.rpm";
    const std::pair<int, std::string> reasons[] = {
        {ENOENT, "No such file or directory"},
        {EACCES, "Permission denied"},
        {ENOSPC, "No space left on device"},
        {EROFS, "Read-only file system"},
        {EISDIR, "Is a directory"},
        {ENAMETOOLONG, "File name too long"},
    };
    for (const auto& [errorNumber, reason] : reasons) {
        EXPECT_EQ(systemErrorText(errorNumber), reason);
        EXPECT_EQ(cannotOpenFile(path, errorNumber).message(),
                  "Cannot open file \"" + shown + "\". " + reason);
        EXPECT_EQ(cannotCreateFile(path, errorNumber).message(),
                  "Cannot create file \"" + shown + "\". " + reason);
    }
}

} // namespace
} // namespace dravik
