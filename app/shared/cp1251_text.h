#pragma once

#include <QString>

#include <string>

/// Windows-1251 bytes as a QString; shown texts end before a zero byte when
/// cutAtZero is set (a window title does).
QString fromCp1251(const std::string& bytes, bool cutAtZero = false);

/// A QString as Windows-1251 bytes; a character without a byte becomes "?".
std::string toCp1251(const QString& text);

/// A Windows-1251 text as a grid's cell shows it: blanks that end it are not
/// shown, and a tab or line break inside becomes a blank.
QString shownCellText(const std::string& cp1251);
