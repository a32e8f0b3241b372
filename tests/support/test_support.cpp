#include "support/test_support.h"

#include "platform/file_system.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace dravik::testing {

std::filesystem::path fsPath(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

TempFolder::TempFolder()
    : path_(utf8Of(std::filesystem::canonical(fsPath(makeTemporaryFolder("dravik-test-"))))) {}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Folders made read-only by a test must be writable again to be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(fsPath(path_), ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::permissions(fsPath(path_), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(fsPath(path_), ignored);
}

std::string TempFolder::file(std::string_view name) const {
    return joinPath(path_, name);
}

std::string TempFolder::write(std::string_view name, std::string_view bytes) const {
    std::string path = file(name);
    std::ofstream out(fsPath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
    return path;
}

std::string TempFolder::makeFolder(std::string_view name) const {
    std::string path = file(name);
    std::filesystem::create_directories(fsPath(path));
    return path;
}

CurrentDirectoryGuard::CurrentDirectoryGuard(const std::string& folder)
    : previous_(utf8Of(std::filesystem::current_path())) {
    std::filesystem::current_path(fsPath(folder));
}

CurrentDirectoryGuard::~CurrentDirectoryGuard() {
    std::error_code ignored;
    std::filesystem::current_path(fsPath(previous_), ignored);
}

std::string bytesWith(std::size_t size,
                      std::initializer_list<std::pair<std::size_t, std::string_view>> pieces,
                      char fill) {
    std::string bytes(size, fill);
    for (const auto& [offset, piece] : pieces)
        bytes.replace(offset, piece.size(), piece);
    return bytes;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(fsPath(folder)))
        names.push_back(utf8Of(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::string fileContent(const std::string& path) {
    std::ifstream in(fsPath(path), std::ios::binary);
    if (!in)
        return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace dravik::testing
