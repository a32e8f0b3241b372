#include "platform/errors.h"

#include "platform/cp1251.h"

#include <cerrno>
#include <cstring>

namespace dravik {

std::string systemErrorText(int errorNumber) {
    return fromUtf8(std::strerror(errorNumber));
}

FileOpenError cannotOpenFile(const std::string& nativePath, int errorNumber) {
    return FileOpenError("Cannot open file \"" + fromUtf8(nativePath) + "\". " +
                         systemErrorText(errorNumber));
}

FileOpenError cannotCreateFile(const std::string& nativePath, int errorNumber) {
    return FileOpenError("Cannot create file \"" + fromUtf8(nativePath) + "\". " +
                         systemErrorText(errorNumber));
}

InOutError inOutError(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
        return InOutError("File not found");
    case EACCES:
    case EPERM:
    case EROFS:
        return InOutError("File access denied");
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return InOutError("Disk full");
    default:
        return InOutError("I/O error " + std::to_string(errorNumber));
    }
}

std::string errorReportText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

InOutError readBeyondEndOfFile() {
    return InOutError("Read beyond end of file");
}

} // namespace dravik
