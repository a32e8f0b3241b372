#include "platform/win32_text.h"

namespace dravik {

std::wstring toWide(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), n);
    return wide;
}

std::string fromWide(std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int size = static_cast<int>(wide.size());
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

std::wstring nativePath(std::string_view path) {
    const std::wstring wide = toWide(path);
    std::wstring native;
    native.reserve(wide.size());
    for (wchar_t c : wide) {
        if (c == L'/')
            c = L'\\';
        if (c == L'\\' && native.size() >= 2 && native.back() == L'\\')
            continue;
        native += c;
    }
    const bool onDrive = native.size() >= 3 && native[1] == L':' && native[2] == L'\\';
    const bool network = native.starts_with(L"\\\\") && !native.starts_with(L"\\\\?\\") &&
                         !native.starts_with(L"\\\\.\\");
    if (native.size() < MAX_PATH - 12 || (!onDrive && !network))
        return native;
    // The long form takes the path as it stands: "." and ".." are resolved first.
    std::wstring full(native.size() + 1, L'\0');
    const DWORD n =
        ::GetFullPathNameW(native.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0 || n >= full.size())
        return native;
    full.resize(n);
    return network ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
}

} // namespace dravik
