#pragma once

#include <QString>
#include <QUrl>

#include <string>
#include <string_view>
#include <vector>

/// A path as the core holds it (UTF-8, the system's own separators) as Qt
/// holds it ("/" between folders), and back.
QString nativeToQString(const std::string& path);
std::string qStringToNative(const QString& path);

/// A native file name as the user reads it: UTF-8 where its bytes are valid
/// UTF-8, else Windows-1251, the names that drive folders copied from Windows
/// archives carry.
QString displayName(std::string_view native);

/// A file name the user typed, as the core holds names; a separator in it is
/// kept, for the caller to refuse.
std::string qStringToNativeName(const QString& name);

/// The file URL of a native path, its bytes kept on Linux whether or not they
/// are UTF-8.
QUrl fileUrl(const std::string& path);

/// The arguments after the program's name, as the core takes text: UTF-8 on
/// Windows, from the wide command line (once the application exists, without
/// the options that Qt took); elsewhere argv as it is.
std::vector<std::string> nativeArguments(int argc, char** argv);
