#include "app/shared/cp1251_text.h"

#include "platform/cp1251.h"
#include "results/shown_text.h"

#include <QList>

#include <string_view>

QString fromCp1251(const std::string& bytes, bool cutAtZero) {
    std::string_view shown = bytes;
    if (cutAtZero)
        shown = shown.substr(0, shown.find('\0'));
    QString text;
    text.reserve(static_cast<qsizetype>(shown.size()));
    for (unsigned char byte : shown)
        text.append(QChar(static_cast<char16_t>(dravik::cp1251ToUnicode(byte))));
    return text;
}

std::string toCp1251(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t codePoint : text.toUcs4())
        bytes += dravik::unicodeToCp1251(codePoint);
    return bytes;
}

QString shownCellText(const std::string& cp1251) {
    return fromCp1251(dravik::shownText(cp1251));
}
