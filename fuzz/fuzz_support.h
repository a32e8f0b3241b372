#pragma once

#include "results/user_interface.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravik::fuzz {

/// Ends the run with the property's text when it does not hold; libFuzzer then
/// keeps the input as a crash.
void require(bool holds, const char* property);

/// The fuzzer's bytes as a text.
std::string_view bytesOf(const std::uint8_t* data, std::size_t size);

/// The input of a harness that also takes a settings file: a little-endian
/// 16-bit length, that many bytes of settings text, then the drive file. The
/// length 0 stands for the default content, 0xFFFF for no settings file.
struct SettingsAndFile {
    std::optional<std::string> settings;
    std::string_view file;
};
SettingsAndFile splitSettingsAndFile(std::string_view input);

/// A folder of this process under the temporary folder, made on first use.
const std::string& scratchFolder();

/// Empties the scratch folder and writes "Dravik.ini" into it when there are
/// settings.
void resetScratchFolder(const std::optional<std::string>& settings);

void writeFile(const std::string& path, std::string_view bytes);
/// The file's bytes, or nullopt when there is no such file.
std::optional<std::string> readFile(const std::string& path);
/// The names in folder, sorted.
std::vector<std::string> namesIn(const std::string& folder);

/// The integer that a text denotes by the conversion rules of field layouts,
/// worked out on its own (std::from_chars), or nullopt for an invalid text.
std::optional<std::int32_t> expectedInteger(std::string_view text);

/// The bytes that a memory-stream read of length bytes at offset into a
/// buffer of capacity bytes gets from data.
std::string_view bytesRead(std::string_view data, std::int64_t offset, std::int64_t length,
                           std::size_t capacity);

/// The text before the first zero byte.
std::string_view beforeZero(std::string_view bytes);

/// The stored firmware code of data: the eight bytes at the first of the six
/// places whose seventh byte is "Z", or nullopt.
std::optional<std::string> expectedStoredCode(std::string_view data);

/// The shown form of a stored code: up to its first zero byte, each pair swapped.
std::string expectedShownCode(std::string_view stored);

/// The little-endian word at offset, or nullopt when the data does not hold it.
std::optional<std::uint16_t> expectedWord(std::string_view data, std::int64_t offset);

/// Four or more upper-case hexadecimal digits.
std::string hexWord(std::uint16_t word);

/// Records the messages of an operation; answers every question with Yes.
class RecordingUi : public UserInterface {
  public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    bool confirm(const std::string&) override { return true; }

    std::vector<std::string> messages;
};

} // namespace dravik::fuzz
