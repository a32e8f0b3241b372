#include "platform/cp1251.h"

#include <gtest/gtest.h>

namespace dravik {
namespace {

TEST(Cp1251, EveryByteSurvivesARoundTrip) {
    for (int b = 0; b < 256; ++b) {
        std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(fromUtf8(toUtf8(byte)), byte) << "byte " << b;
    }
}

TEST(Cp1251, CyrillicLettersBecomeTheirUtf8Forms) {
    // А а Ё ё Я я №
    EXPECT_EQ(toUtf8("\xC0\xE0\xA8\xB8\xDF\xFF\xB9"),
              "\xD0\x90\xD0\xB0\xD0\x81\xD1\x91\xD0\xAF\xD1\x8F\xE2\x84\x96");
    EXPECT_EQ(fromUtf8("\xD0\x90\xD0\xB0\xD0\x81\xD1\x91\xE2\x84\x96"), "\xC0\xE0\xA8\xB8\xB9");
}

TEST(Cp1251, CharactersWithoutAByteAndMalformedUtf8BecomeQuestionMarks) {
    EXPECT_EQ(fromUtf8("a\xCE\xA9z"), "a?z");     // Greek omega
    EXPECT_EQ(fromUtf8("\xF0\x9F\x98\x80"), "?"); // four bytes
    EXPECT_EQ(fromUtf8("\x80x\xD0"), "?x?");     // stray continuation, cut sequence
    EXPECT_EQ(fromUtf8("\xC1\x81"), "?");        // overlong "A"
}

TEST(Cp1251, CaseFoldingPairsAsciiAndCyrillicLetters) {
    const std::pair<unsigned char, unsigned char> pairs[] = {
        {'A', 'a'}, {0xC0, 0xE0}, {0xDF, 0xFF}, {0xA8, 0xB8}, {0x80, 0x90}, {0xA5, 0xB4},
        {0xAA, 0xBA}, {0xB2, 0xB3}, {0xA3, 0xBC}, {0x81, 0x83},
    };
    for (auto [upper, lower] : pairs) {
        EXPECT_EQ(foldCase(static_cast<char>(upper)), static_cast<char>(lower)) << int(upper);
        EXPECT_EQ(foldCase(static_cast<char>(lower)), static_cast<char>(lower)) << int(lower);
    }
    for (unsigned char other : {'1', '[', '_', '\x98', '\xB9'})
        EXPECT_EQ(foldCase(static_cast<char>(other)), static_cast<char>(other)) << int(other);
    EXPECT_FALSE(equalsIgnoreCase("\xC0", "\xC1"));
}

} // namespace
} // namespace dravik
