// Passport decoding on any module and settings, as the Pasport command runs
// it: the family code is one the module holds, and every field reads only the
// module's bytes into its own buffer.

#include "fuzz_support.h"

#include "modules/pasport.h"
#include "platform/byte_reader.h"
#include "platform/errors.h"
#include "settings/field_layout.h"
#include "settings/settings_file.h"

#include <string>

using namespace dravik;
using dravik::fuzz::require;

namespace {

bool holdsFamilyCode(std::string_view module, const std::string& code) {
    for (std::size_t pos = kFamilyCodeSearchStart; pos < module.size(); pos += 2) {
        if (fuzz::beforeZero(module.substr(pos, 2)) == code)
            return true;
    }
    return false;
}

// What a field of a known type shows, worked out from the bytes that a
// memory-stream read gets; nullopt when its offset or length is not a number.
std::optional<std::string> expectedField(std::string_view module, const FieldSpec& field) {
    const std::optional<std::int32_t> offset = fuzz::expectedInteger(field.offsetText);
    const std::optional<std::int32_t> length = fuzz::expectedInteger(field.lengthText);
    if (!offset || !length)
        return std::nullopt;
    const std::size_t capacity = fieldTypeSize(field.type);
    if (field.type == kTextField.letter) {
        std::string text(fuzz::bytesRead(module, *offset, *length, capacity));
        text.resize(capacity, ' ');
        return std::string(fuzz::beforeZero(text));
    }
    std::string bytes(fuzz::bytesRead(module, *offset, *length, capacity));
    bytes.resize(capacity, '\0');
    auto byte = [&](std::size_t i) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[i]));
    };
    if (field.type == kNumberField.letter) {
        const std::uint32_t pattern = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
        return std::to_string(static_cast<std::int32_t>(pattern));
    }
    return std::to_string(byte(2)) + "." + std::to_string(byte(1)) + "." +
           std::to_string(1900 + byte(0)) + " (" + std::to_string(byte(3)) + ":" +
           std::to_string(byte(4)) + ")";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::SettingsAndFile input = fuzz::splitSettingsAndFile(fuzz::bytesOf(data, size));
    const SettingsFile settings = SettingsFile::parse(input.settings.value_or(""));
    const std::string_view module = input.file;

    const std::string familyCode = findFamilyCode(module, settings);
    require(familyCode == kFallbackLayout || (settings.valueExists(kFamiliesSection, familyCode) &&
                                              holdsFamilyCode(module, familyCode)),
            "the family code is a key of \"Mod\" that the module holds from offset 128 on");

    const ByteReader reader(module);
    for (const std::string& key : settings.readSection(familyCode)) {
        const FieldSpec field = FieldSpec::parse(settings.readString(familyCode, key, ""));
        const bool knownType = findFieldType(field.type) != nullptr;
        const std::optional<std::string> expected =
            knownType ? expectedField(module, field) : std::nullopt;
        const bool offsetValid = fuzz::expectedInteger(field.offsetText).has_value();

        PasportValue decoded;
        try {
            decoded = decodePasportValue(reader, field);
        } catch (const ConvertError&) {
            // The command ends here, as it does on the first faulty number.
            require(knownType ? !expected : !offsetValid,
                    "only an offset or length that is not a number fails");
            break;
        }
        if (knownType) {
            require(expected && decoded.value == *expected,
                    "a field shows the module's bytes at its place, in its type's form");
            require(!decoded.message, "a known type shows no message");
        } else {
            require(offsetValid, "the offset of an unknown type is parsed");
            require(decoded.value.empty(), "an unknown type gives an empty value");
            require(decoded.message == "Error Code.....(" + field.type + ")",
                    "an unknown type is reported by its letter");
        }
    }
    return 0;
}
