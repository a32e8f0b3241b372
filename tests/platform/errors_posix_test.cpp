#include "platform/errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <utility>

namespace dravik {
namespace {

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
    const std::string path = "/tmp/\xD0\x94\xD0\xB8\xD1\x81\xD0\xBA.rpm"; // "Диск" in UTF-8
    EXPECT_EQ(cannotOpenFile(path, EACCES).message(),
              "Cannot open file \"/tmp/\xC4\xE8\xF1\xEA.rpm\". Permission denied");
    EXPECT_EQ(cannotCreateFile(path, ENOSPC).message(),
              "Cannot create file \"/tmp/\xC4\xE8\xF1\xEA.rpm\". No space left on device");
}

} // namespace
} // namespace dravik
