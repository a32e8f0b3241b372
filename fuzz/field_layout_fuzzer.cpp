// FieldSpec and the integer conversion on any text: the three parts of a
// layout entry give back its first 32 characters, and every conversion agrees
// with the standard library's reading of the same digits, or fails with the
// system's message.

#include "fuzz_support.h"

#include "platform/errors.h"
#include "settings/field_layout.h"

#include <cstdio>
#include <string>

using namespace dravik;
using dravik::fuzz::require;

namespace {

void checkConversion(std::string_view text) {
    const std::optional<std::int32_t> expected = fuzz::expectedInteger(text);
    std::int32_t value = 0;
    try {
        value = parseInteger(text);
    } catch (const ConvertError& error) {
        require(!expected, "a valid integer text converts");
        require(error.message() == "'" + std::string(text) + "' is not a valid integer value",
                "a conversion error quotes the whole text");
        return;
    }
    require(expected.has_value(), "an invalid integer text is refused");
    require(value == *expected, "a conversion gives the number the digits denote");

    require(parseInteger(std::to_string(value)) == value, "a decimal number converts back");
    char pattern[16];
    std::snprintf(pattern, sizeof pattern, "$%X", static_cast<unsigned>(value));
    require(parseInteger(pattern) == value, "a 32-bit pattern converts back");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view value = fuzz::bytesOf(data, size);
    const FieldSpec field = FieldSpec::parse(value);

    const std::string_view counted = value.substr(0, FieldSpec::kMaxLength);
    require(field.type.size() == (counted.empty() ? 0u : 1u), "the type is one letter");
    require(field.offsetText.find(',') == std::string::npos, "the offset ends at the first comma");
    const bool hasComma = counted.find(',', 1) != std::string_view::npos;
    require(hasComma || field.offsetText.empty(), "without a comma there is no offset text");
    require(field.type + field.offsetText + (hasComma ? "," : "") + field.lengthText == counted,
            "the parts of a layout entry give back its first 32 characters");

    checkConversion(field.offsetText);
    checkConversion(field.lengthText);
    checkConversion(value);
    return 0;
}
