#include "platform/cp1251.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

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
    // Each faulty sequence becomes one "?" and the text after it is kept.
    const std::pair<std::string, std::string> cases[] = {
        {"a\xCE\xA9z", "a?z"},             // Greek omega
        {"\xF0\x9F\x98\x80", "?"},         // four bytes
        {"\x80x\xD0", "?x?"},              // stray continuation, cut sequence at the end
        {"\xC1\x81", "?"},                 // overlong "A"
        {"ab\xD0xy", "ab?xy"},             // two-byte lead cut by a letter
        {"ab\xE2\x84xy", "ab?xy"},         // three-byte sequence cut after two bytes
        {"ab\xD0\xD0\x9Fxy", "ab?\xCFxy"}, // a cut lead, then a whole "П"
    };
    for (const auto& [utf8, cp1251] : cases)
        EXPECT_EQ(fromUtf8(utf8), cp1251) << ::testing::PrintToString(utf8);
}

TEST(Cp1251, CaseFoldingCoversEveryLetterOfTheCodePage) {
    // A-Z and А-Я (0xC0-0xDF) are 0x20 below their small letters, the other Cyrillic
    // capitals (Ђ Ѓ Љ Њ Ќ Ћ Џ Ў Ј Ґ Ё Є Ї І Ѕ) are paired below; any other byte is itself.
    std::array<int, 256> small{};
    for (int b = 0; b < 256; ++b)
        small[b] = (b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDF) ? b + 0x20 : b;
    const std::pair<int, int> others[] = {
        {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D},
        {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4},
        {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE},
    };
    for (auto [capital, letter] : others)
        small[capital] = letter;

    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        const char folded = static_cast<char>(small[b]);
        EXPECT_EQ(foldCase(byte), folded) << "byte " << b;
        EXPECT_TRUE(equalsIgnoreCase(std::string(1, byte), std::string(1, folded))) << b;
    }
    EXPECT_FALSE(equalsIgnoreCase("\xC0", "\xC1"));
    EXPECT_FALSE(equalsIgnoreCase("\xA8", "\xE5")); // Ё is not Е
}

} // namespace
} // namespace dravik
