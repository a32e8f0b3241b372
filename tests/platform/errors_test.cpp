#include "platform/errors.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

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

TEST(ErrorReportText, AMessageWithAZeroByteReachesTheReportWhole) {
    // The integer conversion quotes its text as it stands: "1<NUL>0" of "S213,1<NUL>0".
    const std::string message = std::string("'1") + '\0' + "0' is not a valid integer value";
    const std::string caught = testing::thrownMessage<Error>([&] { throw ConvertError(message); });
    EXPECT_EQ(errorReportText(caught), message + ".");
}

} // namespace
} // namespace dravik
