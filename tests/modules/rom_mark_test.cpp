#include "modules/rom_check.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace dravik {
namespace {

using testing::bytesWith;

constexpr std::size_t kNone = std::string_view::npos;

// The search as Check ROM defines it: every start offset from 0
// up to the size minus 4, the first whose four bytes are "DISK".
std::size_t firstMarkByteByByte(std::string_view data) {
    for (std::size_t i = 0; i + 4 <= data.size(); ++i) {
        if (data[i] == 'D' && data[i + 1] == 'I' && data[i + 2] == 'S' && data[i + 3] == 'K')
            return i;
    }
    return kNone;
}

TEST(FindRomImageMark, FindsTheFirstExactMarkWhereverItStands) {
    struct Case {
        const char* what;
        std::string data;
        std::size_t expected;
    };
    const std::size_t image = kRomImageSize;
    const std::vector<Case> cases = {
        {"empty", "", kNone},
        {"shorter than the mark", "DIS", kNone},
        {"only the mark", "DISK", 0},
        {"at the start", bytesWith(image, {{0, "DISK"}}), 0},
        {"in the last four bytes", bytesWith(image, {{image - 4, "DISK"}}), image - 4},
        {"cut by the end", bytesWith(image, {{image - 3, "DIS"}}), kNone},
        {"across the first block's end", bytesWith(image, {{254, "DISK"}}), 254},
        {"at the last start of a block", bytesWith(image, {{255, "DISK"}}), 255},
        {"at a block's start", bytesWith(image, {{256, "DISK"}}), 256},
        {"just past the last whole block", bytesWith(300, {{296, "DISK"}}), 296},
        {"in a data just one block long", bytesWith(259, {{255, "DISK"}}), 255},
        {"small letters", bytesWith(image, {{40, "disk"}}), kNone},
        {"D and K without I and S", bytesWith(image, {{40, "DxxK"}, {600, "DISx"}}), kNone},
        {"a near miss before the mark in one block",
         bytesWith(image, {{512, "DIXK"}, {520, "DISK"}}), 520},
        {"two marks in one block", bytesWith(image, {{700, "DISK"}, {720, "DISK"}}), 700},
        {"two marks in two blocks", bytesWith(image, {{9000, "DISK"}, {300, "DISK"}}), 300},
        {"overlapping starts", bytesWith(image, {{100, "DDISK"}}), 101},
        {"only D bytes", std::string(image, 'D'), kNone},
        {"only K bytes after D", bytesWith(image, {{0, "DDDKKK"}}, 'K'), kNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(findRomImageMark(c.data), c.expected) << c.what;
        EXPECT_EQ(firstMarkByteByByte(c.data), c.expected) << c.what << " (definition)";
    }
}

TEST(FindRomImageMark, AgreesWithTheByteByByteSearchOnRandomImages) {
    // Random bytes hold a "D" every 256 bytes or so and "D..K" pairs now and
    // then, as real images do; marks and near misses land at random places.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 200; ++round) {
        std::string data(1 + random() % 3000, '\0');
        for (char& c : data)
            c = static_cast<char>(byte(random));
        for (int piece = random() % 4; piece > 0; --piece) {
            static const char* const kPieces[] = {"DISK", "DIS", "ISK", "DxxK", "DISx"};
            const std::string_view text = kPieces[random() % 5];
            if (text.size() <= data.size())
                data.replace(random() % (data.size() - text.size() + 1), text.size(), text);
        }
        ASSERT_EQ(findRomImageMark(data), firstMarkByteByByte(data)) << "round " << round;
    }
}

} // namespace
} // namespace dravik
