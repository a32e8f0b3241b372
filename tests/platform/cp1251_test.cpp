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

} // namespace
} // namespace dravik
