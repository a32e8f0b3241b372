// The file layer's parts that are the same on every system.

#include "platform/file_system.h"

#include "platform/cp1251.h"
#include "platform/file_system_parts.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <utility>

namespace dravik {
namespace {

// Read by the workers that read loaders and folders too.
std::atomic<FileHook> gFileHook{nullptr};

char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

bool extensionMatches(std::string_view name, std::string_view extension) {
    return name.size() > extension.size() &&
           equalsIgnoreCase(name.substr(name.size() - extension.size()), extension);
}

std::string enumerationKey(std::string_view name) {
    std::string key(name);
    for (char& c : key)
        c = asciiUpper(c);
    return key;
}

bool enumerationLess(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto ua = static_cast<unsigned char>(asciiUpper(a[i]));
        auto ub = static_cast<unsigned char>(asciiUpper(b[i]));
        if (ua != ub)
            return ua < ub;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

std::vector<DirEntry> listEntries(const std::string& folderText, std::string_view extension,
                                  Unreadable unreadable) {
    return parts::enumerate(
        folderText, "*" + std::string(extension), parts::Wanted::Entries,
        [&](std::string_view name) { return extensionMatches(name, extension); }, unreadable);
}

std::vector<DirEntry> listFiles(const std::string& folderText, std::string_view extension,
                                Unreadable unreadable) {
    return parts::enumerate(
        folderText, "*" + std::string(extension), parts::Wanted::Files,
        [&](std::string_view name) { return extensionMatches(name, extension); }, unreadable);
}

std::vector<DirEntry> listFiles(const std::string& folderText,
                                std::initializer_list<std::string_view> extensions,
                                Unreadable unreadable) {
    return parts::enumerate(
        folderText, "*", parts::Wanted::Files,
        [&](std::string_view name) {
            return std::any_of(extensions.begin(), extensions.end(), [&](std::string_view extension) {
                return extensionMatches(name, extension);
            });
        },
        unreadable);
}

std::vector<DirEntry> listFilesNamed(const std::string& folderText, std::string_view name) {
    return parts::enumerate(folderText, "*", parts::Wanted::Files, [&](std::string_view listed) {
        return equalsIgnoreCase(listed, name);
    });
}

bool isValidFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
        if (std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
            return false;
    }
    return true;
}

std::string readWholeFile(const std::string& path) {
    std::string data;
    readWholeFile(path, data);
    return data;
}

PieceReader::PieceReader(PieceReader&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)), opened_(other.opened_) {}

PieceReader& PieceReader::operator=(PieceReader&& other) noexcept {
    std::swap(handle_, other.handle_);
    std::swap(opened_, other.opened_);
    return *this;
}

bool readPlainFile(const std::string& path, std::string& into) {
    FileStamp stamp;
    return readPlainFile(path, into, stamp);
}

void writeFileSafely(const std::string& path, std::string_view bytes, WriteStyle style,
                     TemporaryFile temporary, AtLink atLink) {
    parts::namingFile(path, true,
                      [&] { parts::writeFileSafely(path, bytes, style, temporary, atLink); });
}

void setFileHook(FileHook hook) {
    gFileHook = hook;
}

void parts::runFileHook(const std::string& path) {
    if (const FileHook hook = gFileHook)
        hook(path);
}

InOutError parts::standardFailure(const std::string& path, bool writing,
                                  const std::exception& failure) {
    const bool noMemory = dynamic_cast<const std::bad_alloc*>(&failure) != nullptr;
    return InOutError(std::string(writing ? "Cannot write file \"" : "Cannot read file \"") +
                      fromUtf8(path) + "\". " + (noMemory ? "Out of memory" : failure.what()));
}

} // namespace dravik
