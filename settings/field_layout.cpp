#include "settings/field_layout.h"

#include "platform/errors.h"

namespace dravik {
namespace {

int digitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

} // namespace

std::int32_t parseInteger(std::string_view text) {
    auto invalid = [&] {
        std::string message = "'";
        message.append(text).append("' is not a valid integer value");
        return ConvertError(message);
    };
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        throw invalid();
    // Decimal numbers may reach 2^31 (for the negative end), hexadecimal ones
    // fill 32 bits.
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        int digit = digitValue(text[i]);
        if (digit >= base)
            throw invalid();
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > limit)
            throw invalid();
    }
    auto pattern = static_cast<std::uint32_t>(value);
    if (negative)
        pattern = 0u - pattern;
    return static_cast<std::int32_t>(pattern);
}

const FieldType* findFieldType(std::string_view letter) {
    for (const FieldType* type : {&kTextField, &kNumberField, &kDateField}) {
        if (type->letter == letter)
            return type;
    }
    return nullptr;
}

std::size_t fieldTypeSize(std::string_view letter) {
    const FieldType* type = findFieldType(letter);
    return type == nullptr ? 0 : type->size;
}

FieldSpec FieldSpec::parse(std::string_view value) {
    value = value.substr(0, kMaxLength);
    FieldSpec field;
    if (value.empty())
        return field;
    field.type = std::string(value.substr(0, 1));
    std::string_view rest = value.substr(1);
    // Without a comma the offset text is empty and the length text is the rest.
    std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos) {
        field.lengthText = std::string(rest);
    } else {
        field.offsetText = std::string(rest.substr(0, comma));
        field.lengthText = std::string(rest.substr(comma + 1));
    }
    return field;
}

} // namespace dravik
