#include "platform/errors.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

TEST(ErrorReportText, AddsAFullStopAfterCharactersThatSortAfterIt) {
    const std::pair<std::string, std::string> cases[] = {
        {"Disk full", "Disk full."}, {"I/O error 5", "I/O error 5."}, {"Done.", "Done."},
        {"Why?", "Why?."},           {"Stop!", "Stop!"},               {"\xC4\xE0", "\xC4\xE0."},
        {"", ""},
    };
    for (const auto& [message, shown] : cases)
        EXPECT_EQ(errorReportText(message), shown) << message;
}

} // namespace
} // namespace dravik
