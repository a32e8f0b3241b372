#include "modules/firmware_code.h"

#include "modules/text.h"
#include "platform/byte_reader.h"
#include "settings/field_layout.h"

#include <utility>

namespace dravik {

const std::array<std::int64_t, 6>& firmwareCodeOffsets() {
    static const std::array<std::int64_t, 6> offsets = {96, 608, 16384, 16896, 24576, 25088};
    return offsets;
}

std::optional<std::string> locateFirmwareCode(std::string_view data) {
    const std::optional<std::int64_t> offset = firmwareCodeOffset(data);
    if (!offset)
        return std::nullopt;
    return std::string(data.substr(static_cast<std::size_t>(*offset), kFirmwareCodeLength));
}

std::optional<std::int64_t> firmwareCodeOffset(std::string_view data) {
    const ByteReader reader(data);
    for (std::int64_t offset : firmwareCodeOffsets()) {
        char stored[kFirmwareCodeLength];
        if (reader.readAt(offset, kFirmwareCodeLength, stored, kFirmwareCodeLength) !=
            static_cast<std::int64_t>(kFirmwareCodeLength))
            continue;
        if (stored[kFirmwareCodeMarkIndex] == kFirmwareCodeMark)
            return offset;
    }
    return std::nullopt;
}

std::string swapPairs(std::string_view text) {
    std::string swapped(text);
    for (std::size_t i = 1; i < swapped.size(); i += 2)
        std::swap(swapped[i - 1], swapped[i]);
    return swapped;
}

std::string shownCode(std::string_view stored) {
    return swapPairs(textFromBytes(stored, kFirmwareCodeLength));
}

std::string programClass(std::string_view stored) {
    return textFromBytes(stored, kProgramClassLength);
}

std::string familyKey(std::string_view stored) {
    const ByteReader reader(stored);
    char key[kFamilyKeyLength] = {0, 0};
    reader.readAt(1, 1, &key[0], 1);
    reader.readAt(3, 1, &key[1], 1);
    return textFromBytes(std::string_view(key, sizeof key), sizeof key);
}

CodeRow shownCodeRow(const std::shared_ptr<const SourceFile>& file, std::string_view data,
                     std::int64_t offset) {
    RowSource source =
        RowSource::in(file, data, offset, kFirmwareCodeLength, "firmware code, pairs swapped");
    std::string value = shownCode(source.bytes);
    return {std::move(value), std::move(source)};
}

CodeRow codeKeyRow(const std::shared_ptr<const SourceFile>& file, std::string_view data,
                   std::int64_t offset, const SettingsFile& settings, std::string_view section,
                   std::string_view def) {
    const std::string stored(data.substr(static_cast<std::size_t>(offset), kFirmwareCodeLength));
    // The program class is the byte s0; the family key the bytes s1 and s3.
    const bool isClass = section == kProgramClassesSection;
    const std::string key = isClass ? programClass(stored) : familyKey(stored);
    SettingsEntry entry = settings.locate(section, key);
    std::string value = entry.value.value_or(std::string(def));
    return {std::move(value), RowSource::in(file, data, isClass ? offset : offset + 1,
                                            isClass ? 1 : 3, std::move(entry))};
}

std::optional<std::uint16_t> readWord(std::string_view data, std::int64_t offset) {
    char bytes[2] = {0, 0};
    if (ByteReader(data).readAt(offset, 2, bytes, 2) != 2)
        return std::nullopt;
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) |
                                      (static_cast<unsigned char>(bytes[1]) << 8));
}

std::string shownChecksum(const std::optional<std::uint16_t>& word) {
    return word ? hex4(*word) : "none";
}

} // namespace dravik
