#include "settings/field_layout.h"

#include "platform/errors.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

namespace dravik {
namespace {

struct IntegerCase {
    const char* text;
    std::optional<std::int32_t> value; // nullopt: not a valid integer value
};

// Names the case by its text in the test listing.
void PrintTo(const IntegerCase& c, std::ostream* os) {
    *os << '\'';
    for (char ch : std::string_view(c.text))
        *os << (ch == '\t' ? std::string("\\t") : std::string(1, ch));
    *os << '\'';
}

class ParseInteger : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ParseInteger, ConvertsOrRejectsWithTheOriginalText) {
    const IntegerCase& c = GetParam();
    if (c.value) {
        EXPECT_EQ(parseInteger(c.text), *c.value);
    } else {
        EXPECT_EQ(testing::thrownMessage<ConvertError>([&] { parseInteger(c.text); }),
                  "'" + std::string(c.text) + "' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Valid, ParseInteger,
    ::testing::ValuesIn(std::vector<IntegerCase>{
        {"0", 0}, {"174", 174}, {"+8", 8}, {"-12", -12}, {"   505", 505}, {"007", 7},
        {"$1F", 31}, {"x1f", 31}, {"0X1F", 31}, {"-$10", -16}, {" +x10", 16},
        {"$FFFFFFFF", -1}, {"$80000000", INT32_MIN}, {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN}}));

INSTANTIATE_TEST_SUITE_P(
    Invalid, ParseInteger,
    ::testing::ValuesIn(std::vector<IntegerCase>{
        {"", {}}, {" ", {}}, {"-", {}}, {"$", {}}, {"0x", {}}, {"-x", {}}, {"12 ", {}},
        {"1a", {}}, {"1 2", {}}, {"- 1", {}}, {"+-1", {}}, {"$G", {}}, {"1.5", {}},
        {"2147483648", {}}, {"-2147483649", {}}, {"99999999999999999999", {}},
        {"$100000000", {}}, {"\t1", {}}}));

TEST(FieldSpec, SplitsTypeOffsetAndLength) {
    const FieldSpec field = FieldSpec::parse("#174,2");
    EXPECT_EQ(field.type, "#");
    EXPECT_EQ(field.offset(), 174);
    EXPECT_EQ(field.length(), 2);
    EXPECT_EQ(FieldSpec::parse("S0,8").offset(), 0);
    EXPECT_EQ(FieldSpec::parse("S0,8").length(), 8);
    EXPECT_EQ(FieldSpec::parse("D19,5,1").lengthText, "5,1");

    // Without a comma the offset text is empty.
    EXPECT_EQ(testing::thrownMessage<ConvertError>([] { FieldSpec::parse("S213").offset(); }),
              "'' is not a valid integer value");
}

TEST(FieldSpec, OnlyTheFirst32CharactersCount) {
    // Uncut, the length would read 000...0899999999.
    const std::string value = "S0," + std::string(28, '0') + "8" + "99999999";
    EXPECT_EQ(FieldSpec::parse(value).length(), 8);
    EXPECT_EQ(FieldSpec::parse("S1,123456789012345678901234567890123").lengthText,
              "12345678901234567890123456789");
}

} // namespace
} // namespace dravik
