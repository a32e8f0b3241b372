#include "platform/errors.h"

#include "platform/cp1251.h"

#include <cerrno>
#include <cstring>

namespace dravik {

std::string systemErrorText(int errorNumber) {
    return fromUtf8(std::strerror(errorNumber));
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

} // namespace dravik
