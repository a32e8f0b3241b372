#include "cli/output.h"

#include <gtest/gtest.h>

namespace dravik::cli {
namespace {

TEST(TsvField, EscapesWhatWouldSplitAFieldOrARowAndKeepsTheRest) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"plain  ", "plain  "},
        {"a\tb", "a\\tb"},
        {"line\nbreak\r", "line\\nbreak\\r"},
        {"C:\\work\\x.ldr", "C:\\\\work\\\\x.ldr"},
        {"\\t", "\\\\t"},
        {"\x01\x7F\xD0\x90", "\x01\x7F\xD0\x90"},
    };
    for (const auto& [text, field] : cases)
        EXPECT_EQ(tsvField(text), field) << text;
}

TEST(JsonString, EscapesControlsAndReplacesWhatIsNotUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "\"\""},
        {"say \"hi\"\\", "\"say \\\"hi\\\"\\\\\""},
        {std::string("\x00\x01\x1F", 3), "\"\\u0000\\u0001\\u001f\""},
        {"\t\n\r\x7F", "\"\\t\\n\\r\x7F\""},
        {"\xD0\x90\xC2\x98\xE2\x82\xAC\xF0\x9F\x98\x80",
         "\"\xD0\x90\xC2\x98\xE2\x82\xAC\xF0\x9F\x98\x80\""},
        // A stray continuation byte, a lead byte without its continuation,
        // overlong forms, a surrogate and a code point past U+10FFFF.
        {"\x80", "\"\xEF\xBF\xBD\""},
        {"\xE2\x82", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xD0x", "\"\xEF\xBF\xBDx\""},
        {"\xC0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xE0\x80\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xF4\x90\x80\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
        {"\xFF\xFE", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},
    };
    for (const auto& [text, literal] : cases)
        EXPECT_EQ(jsonString(text), literal) << ::testing::PrintToString(text);
}

} // namespace
} // namespace dravik::cli
