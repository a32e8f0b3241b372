#include "fuzz_support.h"

#include "platform/file_system.h"
#include "settings/default_settings.h"
#include "settings/settings_file.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <dirent.h>

namespace dravik::fuzz {

void require(bool holds, const char* property) {
    if (holds)
        return;
    std::fprintf(stderr, "property failed: %s\n", property);
    std::abort();
}

std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

SettingsAndFile splitSettingsAndFile(std::string_view input) {
    constexpr std::size_t kNoSettings = 0xFFFF;
    SettingsAndFile split;
    if (input.size() < 2) {
        split.settings = std::string(defaultSettingsContent());
        return split;
    }
    const std::size_t length =
        static_cast<unsigned char>(input[0]) |
        (static_cast<std::size_t>(static_cast<unsigned char>(input[1])) << 8);
    input.remove_prefix(2);
    if (length == 0) {
        split.settings = std::string(defaultSettingsContent());
    } else if (length != kNoSettings) {
        split.settings = std::string(input.substr(0, length));
        input.remove_prefix(std::min(length, input.size()));
    }
    split.file = input;
    return split;
}

const std::string& scratchFolder() {
    static const std::string folder = [] {
        // Named as the current directory names it, links resolved: the
        // commands compare their working folder with it.
        const std::string made = makeTemporaryFolder("dravik-fuzz-");
        const std::string previous = currentDirectory();
        enterFolder(made);
        std::string named = currentDirectory();
        setCurrentDirectory(previous);
        static const std::string removed = named;
        std::atexit([] {
            for (const std::string& name : namesIn(removed))
                std::remove(joinPath(removed, name).c_str());
            std::remove(removed.c_str());
        });
        return named;
    }();
    return folder;
}

void resetScratchFolder(const std::optional<std::string>& settings) {
    const std::string& folder = scratchFolder();
    for (const std::string& name : namesIn(folder))
        require(std::remove(joinPath(folder, name).c_str()) == 0,
                "the scratch folder holds files only");
    if (settings)
        writeFile(joinPath(folder, SettingsFile::kFileName), *settings);
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    require(static_cast<bool>(out), "a scratch file can be written");
}

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// Every name, hidden ones too: a property over the folder's names must see
// a stray temporary file.
std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    require(dir != nullptr, "the scratch folder can be read");
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::int32_t> expectedInteger(std::string_view text) {
    std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = text.substr(start);
    const bool negative = rest.front() == '-';
    if (rest.front() == '+' || rest.front() == '-')
        rest.remove_prefix(1);
    int base = 10;
    for (std::string_view prefix : {"$", "x", "X", "0x", "0X"}) {
        if (rest.starts_with(prefix)) {
            base = 16;
            rest.remove_prefix(prefix.size());
            break;
        }
    }
    // from_chars would take a sign of its own; the rules allow digits only here.
    if (rest.empty() || rest.front() == '-' || rest.front() == '+')
        return std::nullopt;
    std::uint64_t magnitude = 0;
    const auto [end, error] =
        std::from_chars(rest.data(), rest.data() + rest.size(), magnitude, base);
    if (error != std::errc() || end != rest.data() + rest.size())
        return std::nullopt;
    if (base == 16) {
        if (magnitude > 0xFFFFFFFFull)
            return std::nullopt;
        auto pattern = static_cast<std::uint32_t>(magnitude);
        return static_cast<std::int32_t>(negative ? 0u - pattern : pattern);
    }
    if (magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull))
        return std::nullopt;
    const auto value = static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::string_view bytesRead(std::string_view data, std::int64_t offset, std::int64_t length,
                           std::size_t capacity) {
    if (offset < 0 || length <= 0 || static_cast<std::uint64_t>(offset) >= data.size())
        return {};
    const auto wanted = std::min(static_cast<std::uint64_t>(length), std::uint64_t{capacity});
    return data.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(wanted));
}

std::string_view beforeZero(std::string_view bytes) {
    return bytes.substr(0, bytes.find('\0'));
}

std::optional<std::string> expectedStoredCode(std::string_view data) {
    for (std::size_t place : {96, 608, 16384, 16896, 24576, 25088}) {
        if (place + 8 <= data.size() && data[place + 6] == 'Z')
            return std::string(data.substr(place, 8));
    }
    return std::nullopt;
}

std::string expectedShownCode(std::string_view stored) {
    std::string shown(beforeZero(stored.substr(0, 8)));
    for (std::size_t i = 0; i + 1 < shown.size(); i += 2)
        std::swap(shown[i], shown[i + 1]);
    return shown;
}

std::optional<std::uint16_t> expectedWord(std::string_view data, std::int64_t offset) {
    if (offset < 0 || static_cast<std::uint64_t>(offset) + 2 > data.size())
        return std::nullopt;
    const auto at = static_cast<std::size_t>(offset);
    return static_cast<std::uint16_t>(static_cast<unsigned char>(data[at]) +
                                      256 * static_cast<unsigned char>(data[at + 1]));
}

std::string hexWord(std::uint16_t word) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(word));
    return text;
}

} // namespace dravik::fuzz
