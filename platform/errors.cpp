#include "platform/errors.h"

#include "platform/cp1251.h"

namespace dravik {

namespace {

// "Cannot <what> "path". reason"
FileOpenError cannot(const char* what, const std::string& nativePath, int errorNumber) {
    return FileOpenError(std::string("Cannot ") + what + " \"" + fromUtf8(nativePath) + "\". " +
                         systemErrorText(errorNumber));
}

} // namespace

FileOpenError cannotOpenFile(const std::string& nativePath, int errorNumber) {
    return cannot("open file", nativePath, errorNumber);
}

FileOpenError cannotCreateFile(const std::string& nativePath, int errorNumber) {
    return cannot("create file", nativePath, errorNumber);
}

FileOpenError cannotOpenFolder(const std::string& nativePath, int errorNumber) {
    return cannot("open folder", nativePath, errorNumber);
}

FileOpenError cannotCreateFolder(const std::string& nativePath, int errorNumber) {
    return cannot("create folder", nativePath, errorNumber);
}

FileOpenError cannotCreateFolderAtLink(const std::string& nativePath, const std::string& link) {
    return FileOpenError("Cannot create folder \"" + fromUtf8(nativePath) + "\". \"" +
                         fromUtf8(link) + "\" is a link to nowhere");
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
