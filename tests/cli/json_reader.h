#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace dravik::testing {

/// A JSON value as a strict reader (RFC 8259) finds it: strings decoded to
/// UTF-8, numbers and literals kept as their text.
struct JsonValue {
    enum class Kind { Null, Boolean, Number, String, Array, Object };

    Kind kind = Kind::Null;
    std::string text; ///< a string's decoded text, a number's or literal's own
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    const JsonValue& operator[](const std::string& name) const { return members.at(name); }
    const JsonValue& operator[](std::size_t index) const { return items.at(index); }
};

/// Reads a whole JSON text; raises std::runtime_error naming the offset of
/// the first fault (invalid UTF-8, a raw control character, a bad escape,
/// anything after the value).
JsonValue readJson(std::string_view text);

} // namespace dravik::testing
