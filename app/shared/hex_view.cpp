#include "app/shared/hex_view.h"

#include "app/shared/source_text.h"
#include "results/source_bytes.h"

#include <QFontDatabase>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>

namespace {

constexpr int kBytesPerLine = static_cast<int>(dravik::kSourceLineLength);
// A line: the offset (8 digits and two blanks), 16 bytes of "XX ", a blank,
// the 16 bytes as text.
constexpr int kHexColumn = 10;
constexpr int kTextColumn = kHexColumn + 3 * kBytesPerLine + 1;

std::int64_t lineStart(std::int64_t offset) {
    return offset - offset % kBytesPerLine;
}

} // namespace

HexView::HexView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void HexView::showBytes(std::string_view bytes, std::int64_t first) {
    first_ = first;
    end_ = first + static_cast<std::int64_t>(bytes.size());
    QString text;
    for (std::int64_t line = lineStart(first_); line < end_; line += kBytesPerLine) {
        QString hex;
        QString shown;
        for (std::int64_t at = line; at < line + kBytesPerLine; ++at) {
            if (at < first_ || at >= end_) {
                hex += QStringLiteral("   ");
                continue;
            }
            const auto byte =
                static_cast<unsigned char>(bytes[static_cast<std::size_t>(at - first_)]);
            hex += QStringLiteral("%1 ").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
            shown += shownByte(byte);
        }
        text += QString::number(line, 16).toUpper().rightJustified(8, QLatin1Char('0')) +
                QStringLiteral("  ") + hex + QLatin1Char(' ') + shown + QLatin1Char('\n');
    }
    setPlainText(text);
    setExtraSelections({});
}

int HexView::wholeLineWidth() const {
    const int line = fontMetrics().horizontalAdvance(QString(kTextColumn + kBytesPerLine, u'0'));
    // The cursor's width too: the document is that much wider than its text.
    return line + cursorWidth() + 2 * static_cast<int>(document()->documentMargin()) +
           2 * frameWidth() + verticalScrollBar()->sizeHint().width();
}

// The start of the line that holds the byte at offset, which must be shown.
QTextCursor HexView::cursorAt(std::int64_t offset) const {
    const auto number = static_cast<int>((lineStart(offset) - lineStart(first_)) / kBytesPerLine);
    return QTextCursor(document()->findBlockByNumber(number));
}

void HexView::setMarks(const std::vector<Mark>& marks) {
    // Each mark is cut into its lines, and each line's part marked in both columns.
    QList<QTextEdit::ExtraSelection> selections;
    for (const Mark& mark : marks) {
        QTextCharFormat format;
        format.setBackground(mark.background);
        format.setForeground(mark.foreground);
        const std::int64_t last = std::min(mark.offset + mark.length, end_);
        for (std::int64_t at = std::max(mark.offset, first_); at < last;) {
            const std::int64_t upTo = std::min(last, lineStart(at) + kBytesPerLine);
            const int block = cursorAt(at).block().position();
            const auto column = static_cast<int>(at - lineStart(at));
            const auto count = static_cast<int>(upTo - at);
            for (const auto& [start, length] : {std::pair{kHexColumn + 3 * column, 3 * count - 1},
                                                std::pair{kTextColumn + column, count}}) {
                QTextCursor cursor(document());
                cursor.setPosition(block + start);
                cursor.setPosition(block + start + length, QTextCursor::KeepAnchor);
                selections.append({cursor, format});
            }
            at = upTo;
        }
    }
    setExtraSelections(selections);
}

void HexView::centreOn(std::int64_t offset) {
    if (offset < first_ || offset >= end_)
        return;
    QTextCursor cursor = cursorAt(offset);
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor,
                        kHexColumn + 3 * static_cast<int>(offset - lineStart(offset)));
    setTextCursor(cursor);
    centerCursor();
}
