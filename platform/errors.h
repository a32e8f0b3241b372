#pragma once

#ifndef _WIN32
#include <cerrno>
#endif
#include "platform/settings_entry.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace dravik {

/// Base of every error the core raises. The message is the exact text that the
/// common error report shows, as Windows-1251 bytes. It is kept whole in a
/// std::string, zero bytes included; what() gives it only up to the first one.
class Error : public std::runtime_error {
public:
    explicit Error(std::string message, std::optional<SettingsEntry> entry = std::nullopt)
        : std::runtime_error(message), message_(std::move(message)), entry_(std::move(entry)) {}

    /// Every byte of the message.
    const std::string& message() const noexcept { return message_; }

    /// The layout entry that was being read when the error arose, so that a
    /// caller can say where; none elsewhere. The message never holds it.
    const std::optional<SettingsEntry>& entry() const noexcept { return entry_; }

private:
    std::string message_;
    std::optional<SettingsEntry> entry_;
};

/// A file that is read or written whole could not be opened or created.
class FileOpenError : public Error {
public:
    using Error::Error;
};

/// A failure of a file handled piece by piece (candidate modules, the report),
/// worded by the system's error number.
class InOutError : public Error {
public:
    using Error::Error;
};

/// A text that is not a valid integer value.
class ConvertError : public Error {
public:
    using Error::Error;
};

/// The system's error numbers that callers tell apart, as the file layer
/// gives them: Win32 error codes on Windows, errno values elsewhere.
#ifdef _WIN32
inline constexpr int kErrorFileNotFound = 2; // ERROR_FILE_NOT_FOUND
inline constexpr int kErrorAccessDenied = 5; // ERROR_ACCESS_DENIED
inline constexpr int kErrorFileExists = 183; // ERROR_ALREADY_EXISTS
inline constexpr int kErrorIsAFolder = 5;    // a folder opened as a file: ERROR_ACCESS_DENIED
inline constexpr int kErrorNotAFolder = 267; // ERROR_DIRECTORY
#else
inline constexpr int kErrorFileNotFound = ENOENT;
inline constexpr int kErrorAccessDenied = EACCES;
inline constexpr int kErrorFileExists = EEXIST;
inline constexpr int kErrorIsAFolder = EISDIR;
inline constexpr int kErrorNotAFolder = ENOTDIR;
#endif

/// "Cannot open file "path". reason"
FileOpenError cannotOpenFile(const std::string& nativePath, int errorNumber);
/// "Cannot create file "path". reason"
FileOpenError cannotCreateFile(const std::string& nativePath, int errorNumber);
/// "Cannot open folder "path". reason"
FileOpenError cannotOpenFolder(const std::string& nativePath, int errorNumber);
/// "Cannot create folder "path". reason"
FileOpenError cannotCreateFolder(const std::string& nativePath, int errorNumber);
/// "Cannot create folder "path". "link" is a link to nowhere": a link to
/// nothing stands where link, path or a folder above it, is to be made.
FileOpenError cannotCreateFolderAtLink(const std::string& nativePath, const std::string& link);
/// "File not found", "File access denied", "Disk full" or "I/O error N", N
/// being the system's error number.
InOutError inOutError(int errorNumber);
/// "Read beyond end of file"
InOutError readBeyondEndOfFile();

/// A message as the common error report words it: a full stop is added when
/// its last character sorts after ".".
std::string errorReportText(const std::string& message);

/// The system's text for an error number, as Windows-1251 bytes, without a
/// full stop at its end (the common error report adds one).
std::string systemErrorText(int errorNumber);

} // namespace dravik
