#include "platform/errors.h"

#include "support/test_support.h"

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
    const std::string path = "/tmp/\xD0\x94\xD0\xB8\xD1\x81\xD0\xBA.rpm"; // "Диск" in UTF-8
    EXPECT_EQ(cannotOpenFile(path, EACCES).message(),
              "Cannot open file \"/tmp/\xC4\xE8\xF1\xEA.rpm\". Permission denied");
    EXPECT_EQ(cannotCreateFile(path, ENOSPC).message(),
              "Cannot create file \"/tmp/\xC4\xE8\xF1\xEA.rpm\". No space left on device");
}

TEST(ErrorReportText, AMessageWithAZeroByteReachesTheReportWhole) {
    // The integer conversion quotes its text as it stands: "1<NUL>0" of "S213,1<NUL>0".
    const std::string message = std::string("'1") + '\0' + "0' is not a valid integer value";
    const std::string caught = testing::thrownMessage<Error>([&] { throw ConvertError(message); });
    EXPECT_EQ(errorReportText(caught), message + ".");
}

} // namespace
} // namespace dravik
