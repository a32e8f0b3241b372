#include "app/shared/source_text.h"

#include "app/shared/cp1251_text.h"
#include "app/shared/native_path.h"
#include "platform/cp1251.h"

#include <QFileInfo>

QChar shownByte(unsigned char byte) {
    const char32_t unicode = dravik::cp1251ToUnicode(byte);
    return unicode < 0x20 || (unicode >= 0x7F && unicode < 0xA0) ? QLatin1Char('.')
                                                                 : QChar(char16_t(unicode));
}

QString sourceText(const dravik::RowSource& source) {
    const QString file =
        source.file ? QFileInfo(nativeToQString(source.file->path)).fileName() : QString();
    QString text = QStringLiteral("%1, offset 0x%2 (%3), %4 %5")
                       .arg(file)
                       .arg(QString::number(source.offset, 16).toUpper())
                       .arg(source.offset)
                       .arg(source.length())
                       .arg(source.length() == 1 ? QStringLiteral("byte") : QStringLiteral("bytes"));
    if (!source.bytes.empty()) {
        QString hex;
        QString shown;
        for (const char c : source.bytes) {
            const auto byte = static_cast<unsigned char>(c);
            hex += QStringLiteral(" %1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
            shown += shownByte(byte);
        }
        text += QLatin1Char(':') + hex + QStringLiteral(" \"") + shown + QLatin1Char('"');
    }
    return text + QStringLiteral("; ") + fromCp1251(source.entryText());
}
