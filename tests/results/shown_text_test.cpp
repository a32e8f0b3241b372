#include "results/shown_text.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

TEST(ShownText, BreaksBecomeBlanksAndEndingBlanksAreNotShown) {
    const struct {
        std::string_view cp1251;
        std::string_view shown;
    } cases[] = {
        {"", ""},
        {"ST380011                        ", "ST380011"},
        {"WX\t31004", "WX 31004"},
        {"one\r\ntwo\n", "one  two"},
        {"\t \n", ""},
        {"  leading", "  leading"},
        // A no-break space and a zero byte are not blanks.
        {"\xA0", "\xA0"},
        {std::string_view("a\0 ", 3), std::string_view("a\0", 2)},
        {"\xC4\xF0\xE0\xE2\xE8\xEA\t", "\xC4\xF0\xE0\xE2\xE8\xEA"},
    };
    for (const auto& [cp1251, shown] : cases)
        EXPECT_EQ(shownText(cp1251), shown) << cp1251;
}

} // namespace
} // namespace dravik
