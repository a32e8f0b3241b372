#include "modules/firmware_code.h"

#include "modules/text.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dravik {
namespace {

using testing::bytesWith;

constexpr std::size_t kCodeArea = 25088 + 8;

// A distinct stored code for each place of the table, all marked "Z".
std::string storedCodeFor(std::size_t place) {
    return std::string("AV4M10Z") + static_cast<char>('0' + place);
}

TEST(LocateFirmwareCode, EveryPlaceIsFoundAndAnEarlierPlaceWins) {
    // The places in the order they are tried: a ROM image's three and, 512 bytes
    // further each, a loader's.
    const std::size_t places[] = {96, 608, 16384, 16896, 24576, 25088};
    for (std::size_t later = 0; later < std::size(places); ++later) {
        std::string data(kCodeArea, '\0');
        data.replace(places[later], 8, storedCodeFor(later));
        EXPECT_EQ(locateFirmwareCode(data), storedCodeFor(later)) << "place " << later;

        for (std::size_t earlier = 0; earlier < later; ++earlier) {
            std::string both = data;
            both.replace(places[earlier], 8, storedCodeFor(earlier));
            EXPECT_EQ(locateFirmwareCode(both), storedCodeFor(earlier))
                << "places " << earlier << " and " << later;
        }
    }
    // A code between the places, or one byte off a place, is not found.
    for (std::size_t off : {0, 95, 97, 512, 607, 609, 8192, 16383, 16385, 24577, 25087})
        EXPECT_EQ(locateFirmwareCode(bytesWith(kCodeArea, {{off, "AV4M10Z9"}})), std::nullopt)
            << off;
}

TEST(LocateFirmwareCode, OnlyACapitalZInTheSeventhByteMarksACode) {
    EXPECT_EQ(locateFirmwareCode(bytesWith(kCodeArea, {{96, "AV4M10z9"}})), std::nullopt);
    EXPECT_EQ(locateFirmwareCode(bytesWith(kCodeArea, {{96, "AV4M1Z09"}})), std::nullopt);
    EXPECT_EQ(locateFirmwareCode(bytesWith(kCodeArea, {{97, "AV4M10Z9"}})), std::nullopt);
    EXPECT_EQ(locateFirmwareCode(std::string(kCodeArea, 'Z')), std::string(8, 'Z'));
}

TEST(LocateFirmwareCode, APlaceThatDoesNotFitIsPassedOver) {
    const std::string code = "AV4M10Z9";
    struct Case {
        std::string data;
        std::optional<std::string> expected;
    };
    const std::string full = bytesWith(25088 + 8, {{96, code}, {25088, "XXXXXXZX"}});
    const std::vector<Case> cases = {
        {"", std::nullopt},
        {full.substr(0, 96 + 7), std::nullopt}, // the mark is there, the last byte is not
        {full.substr(0, 96 + 8), code},
        // Only the last place carries a code, and it is one byte short.
        {bytesWith(25088 + 8, {{25088, "XXXXXXZX"}}).substr(0, 25088 + 7), std::nullopt},
        {bytesWith(25088 + 8, {{25088, "XXXXXXZX"}}), std::string("XXXXXXZX")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(locateFirmwareCode(c.data), c.expected) << "size " << c.data.size();
}

TEST(SwapPairs, ExchangesNeighboursAndLeavesALoneLastCharacter) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},       {"A", "A"},       {"AB", "BA"},
        {"ABC", "BAC"}, {"ABCD", "BADC"}, {"AV4M10Z9", "VAM4019Z"},
    };
    for (const auto& [text, swapped] : cases)
        EXPECT_EQ(swapPairs(text), swapped) << text;
}

TEST(FirmwareCodeKeys, AreCutBeforeTheFirstZeroByte) {
    using namespace std::string_literals;
    struct Case {
        std::string stored;
        std::string shown;
        std::string programClass;
        std::string familyKey;
    };
    const std::vector<Case> cases = {
        {"AV4M10Z9", "VAM4019Z", "A", "VM"},
        {"AV\0M10Z9"s, "VA", "A", "VM"}, // zero s2 cuts the code, not the keys
        {"AV4\0"
         "10Z9"s,
         "VA4", "A", "V"}, // zero s3 leaves a one-character family key
        {"A\0"
         "4M10Z9"s,
         "A", "A", ""},               // zero s1 leaves no family key
        {"\0V4M10Z9"s, "", "", "VM"}, // zero s0: no code shown, no program class
        {"BY4\0"
         "10Z9"s,
         "YB4", "B", "Y"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(shownCode(c.stored), c.shown);
        EXPECT_EQ(programClass(c.stored), c.programClass);
        EXPECT_EQ(familyKey(c.stored), c.familyKey);
    }
}

TEST(FirmwareCodeKeys, AShortStoredTextIsNotReadBeyondItsEnd) {
    EXPECT_EQ(programClass(""), "");
    EXPECT_EQ(familyKey(""), "");
    EXPECT_EQ(familyKey("AV"), "V");
    EXPECT_EQ(shownCode("AVM"), "VAM");
}

TEST(ReadWord, IsLittleEndianAndMissingWhenNotHeld) {
    const std::string data =
        bytesWith(6, {{0, "\x34\x12"}, {2, std::string_view("\x0A\x00", 2)}, {4, "\xCD\xAB"}});
    EXPECT_EQ(readWord(data, 0), 0x1234);
    EXPECT_EQ(hex4(*readWord(data, 0)), "1234");
    EXPECT_EQ(hex4(*readWord(data, 2)), "000A");
    EXPECT_EQ(hex4(*readWord(data, 4)), "ABCD");
    EXPECT_EQ(readWord(data, 1), 0x0A12);

    EXPECT_EQ(readWord(data, 5), std::nullopt);
    EXPECT_EQ(readWord(data, 6), std::nullopt);
    EXPECT_EQ(readWord(data, -1), std::nullopt);
    EXPECT_EQ(readWord(data, -2), std::nullopt);
    EXPECT_EQ(readWord("", 0), std::nullopt);
    EXPECT_EQ(readWord("x", 0), std::nullopt);
}

} // namespace
} // namespace dravik
