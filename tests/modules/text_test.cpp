#include "modules/text.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

TEST(TextFromBytes, EndsBeforeTheFirstZeroAmongTheFirstNBytes) {
    using namespace std::string_view_literals;
    struct Case {
        std::string_view data;
        std::size_t n;
        std::string text;
    };
    const Case cases[] = {
        {"2F\0\0"sv, 2, "2F"}, {"Y\0H"sv, 2, "Y"},  {"\0F"sv, 2, ""},
        {"ABCDEF"sv, 4, "ABCD"}, {"AB\0D"sv, 4, "AB"}, {"ABC"sv, 10, "ABC"},
        {""sv, 3, ""},           {"\xC0\xFF"sv, 2, "\xC0\xFF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(textFromBytes(c.data, c.n), c.text) << c.data << "/" << c.n;
}

TEST(Hex4, UpperCaseAtLeastFourDigits) {
    EXPECT_EQ(hex4(0x00AF), "00AF");
    EXPECT_EQ(hex4(0), "0000");
    EXPECT_EQ(hex4(0xBEEF), "BEEF");
    EXPECT_EQ(hex4(0xFFFF), "FFFF");
}

TEST(FormatModuleDate, DecimalWithoutLeadingZeros) {
    EXPECT_EQ(formatModuleDate({103, 3, 15, 12, 5}), "15.3.2003 (12:5)");
    EXPECT_EQ(formatModuleDate({0, 0, 0, 0, 0}), "0.0.1900 (0:0)");
    EXPECT_EQ(formatModuleDate({255, 255, 255, 255, 255}), "255.255.2155 (255:255)");
    EXPECT_EQ(formatModuleDate({99, 12, 31, 23, 59}), "31.12.1999 (23:59)");
}

} // namespace
} // namespace dravik
