#pragma once

#include "results/row_source.h"

#include <QString>

/// A byte as the Bytes window and the tooltips show it as text: its
/// Windows-1251 character, or "." for a control character.
QChar shownByte(unsigned char byte);

/// A row's source in one line, as its tooltip shows it:
/// pasport.rpm, offset 0x0 (0), 8 bytes: 57 58 33 31 30 30 34 31 "WX310041"; [2F] Serial=S0,8
QString sourceText(const dravik::RowSource& source);
