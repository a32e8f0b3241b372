#include "platform/errors.h"

#include "platform/cp1251.h"
#include "platform/win32_text.h"

#include <iterator>

namespace dravik {
namespace {

// Not in every MinGW-w64 winerror.h.
constexpr int kDiskQuotaExceeded = 1295; // ERROR_DISK_QUOTA_EXCEEDED

} // namespace

std::string systemErrorText(int errorNumber) {
    wchar_t text[512];
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, static_cast<DWORD>(errorNumber), 0, text,
                                     static_cast<DWORD>(std::size(text)), nullptr);
    if (n == 0)
        return "Unknown error " + std::to_string(errorNumber);
    // The system's texts end in a full stop and a line break; the texts of the
    // other systems end in neither, and the error report adds the full stop.
    std::wstring_view message(text, n);
    while (!message.empty() && (message.back() == L'.' || message.back() == L' ' ||
                                message.back() == L'\r' || message.back() == L'\n'))
        message.remove_suffix(1);
    return fromUtf8(fromWide(message));
}

InOutError inOutError(int errorNumber) {
    switch (errorNumber) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return InOutError("File not found");
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return InOutError("File access denied");
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case kDiskQuotaExceeded:
    case ERROR_FILE_TOO_LARGE:
        return InOutError("Disk full");
    default:
        return InOutError("I/O error " + std::to_string(errorNumber));
    }
}

} // namespace dravik
