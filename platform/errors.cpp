#include "platform/errors.h"

#include "platform/cp1251.h"

namespace dravik {

FileOpenError cannotOpenFile(const std::string& nativePath, int errorNumber) {
    return FileOpenError("Cannot open file \"" + fromUtf8(nativePath) + "\". " +
                         systemErrorText(errorNumber));
}

FileOpenError cannotCreateFile(const std::string& nativePath, int errorNumber) {
    return FileOpenError("Cannot create file \"" + fromUtf8(nativePath) + "\". " +
                         systemErrorText(errorNumber));
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
