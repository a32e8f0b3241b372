#include "platform/console.h"

#include "platform/file_system.h"
#include "platform/win32_text.h"

#include <algorithm>
#include <cwctype>

namespace dravik {
namespace {

HANDLE consoleOf(std::FILE* stream) {
    const DWORD which = stream == stderr   ? STD_ERROR_HANDLE
                        : stream == stdout ? STD_OUTPUT_HANDLE
                                           : 0;
    if (which == 0)
        return nullptr;
    HANDLE handle = ::GetStdHandle(which);
    DWORD mode = 0;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode))
        return nullptr;
    return handle;
}

// "*" any run of characters, "?" one character, the rest itself without
// regard to case.
bool matches(std::wstring_view pattern, std::wstring_view name) {
    std::size_t p = 0, n = 0, starAt = std::wstring_view::npos, resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            starAt = p++;
            resumeAt = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == L'?' || std::towupper(pattern[p]) == std::towupper(name[n]))) {
            ++p;
            ++n;
        } else if (starAt != std::wstring_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*')
        ++p;
    return p == pattern.size();
}

// The names in folder (as written, "" for the current one) that pattern matches.
std::vector<std::string> matchingNames(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    // "d:" names the current folder of drive D:, not its root.
    const std::string all = folder.empty() || folder.back() == ':' ? folder + "*"
                                                                    : joinPath(folder, "*");
    HANDLE search = ::FindFirstFileExW(nativePath(all).c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    const std::wstring widePattern = toWide(pattern);
    const DWORD hidden = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L".." && (found.dwFileAttributes & hidden) == 0 &&
            matches(widePattern, name))
            names.push_back(fromWide(name));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end(), enumerationLess);
    return names;
}

} // namespace

bool isConsole(std::FILE* stream) {
    return consoleOf(stream) != nullptr;
}

bool writeToConsole(std::FILE* stream, std::string_view utf8) {
    HANDLE console = consoleOf(stream);
    if (console == nullptr || std::fflush(stream) != 0)
        return false;
    const std::wstring wide = toWide(utf8);
    for (std::size_t done = 0; done < wide.size();) {
        // The console takes a limited amount at once.
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
        DWORD written = 0;
        if (!::WriteConsoleW(console, wide.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

std::vector<std::string> expandWildcards(const std::vector<std::string>& arguments) {
    std::vector<std::string> expanded;
    for (const std::string& argument : arguments) {
        const std::size_t nameAt = argument.find_last_of("\\/:") + 1;
        const std::string pattern = argument.substr(nameAt);
        std::vector<std::string> names;
        if (pattern.find_first_of("*?") != std::string::npos)
            names = matchingNames(argument.substr(0, nameAt), pattern);
        if (names.empty())
            expanded.push_back(argument);
        for (const std::string& name : names)
            expanded.push_back(argument.substr(0, nameAt) + name);
    }
    return expanded;
}

} // namespace dravik
