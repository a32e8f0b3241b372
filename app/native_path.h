#pragma once

#include <QString>

#include <string>

/// A path as the core holds it (UTF-8, the system's own separators) as Qt
/// holds it ("/" between folders), and back.
QString nativeToQString(const std::string& path);
std::string qStringToNative(const QString& path);
