#pragma once

#include <QString>

#include <string>

/// Windows-1251 bytes as a QString; shown texts end before a zero byte when
/// cutAtZero is set (a window title does).
QString fromCp1251(const std::string& bytes, bool cutAtZero = false);

/// A QString as Windows-1251 bytes; a character without a byte becomes "?".
std::string toCp1251(const QString& text);
