#include "bytes_window.h"

#include "cp1251_text.h"
#include "native_path.h"
#include "platform/errors.h"
#include "source_text.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QVBoxLayout>

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

BytesWindow::BytesWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("BytesWindow"));
    setWindowTitle(QStringLiteral("Bytes"));
    setAccessibleName(QStringLiteral("Bytes"));
    setAccessibleDescription(
        QStringLiteral("The bytes of the file behind the selected row, its value's bytes marked"));
    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("BytesStatus"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    view_ = new QPlainTextEdit(this);
    view_->setObjectName(QStringLiteral("BytesView"));
    view_->setReadOnly(true);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view_->setAccessibleName(QStringLiteral("Bytes of the file"));
    layout->addWidget(status_);
    layout->addWidget(view_, 1);
    resize(640, 420);
}

void BytesWindow::showRow(const dravik::ResultRow& row) {
    view_->clear();
    if (!row.source || !row.source->file) {
        status_->setText(QStringLiteral("This row was not read from a file."));
        return;
    }
    const dravik::RowSource& source = *row.source;
    const QString file = nativeToQString(source.file->path);
    dravik::SourceBytes shown;
    try {
        shown = dravik::readSourceBytes(source);
    } catch (const dravik::Error& error) {
        status_->setText(
            QStringLiteral("%1: %2").arg(file, fromCp1251(dravik::errorReportText(error.message()))));
        return;
    }
    switch (shown.state) {
    case dravik::SourceState::Gone:
        status_->setText(QStringLiteral("%1: the file is gone since the command.").arg(file));
        return;
    case dravik::SourceState::NotPlainFile:
        status_->setText(QStringLiteral("%1: not a plain file now.").arg(file));
        return;
    case dravik::SourceState::Changed:
        status_->setText(
            QStringLiteral("%1 has changed since the command. It now holds:").arg(file));
        break;
    case dravik::SourceState::Unchanged:
        status_->setText(sourceText(source));
        break;
    }
    showBytes(source, shown);
}

void BytesWindow::showBytes(const dravik::RowSource& source, const dravik::SourceBytes& shown) {
    const std::int64_t first = shown.first;
    const std::int64_t end = first + static_cast<std::int64_t>(shown.bytes.size());
    QString text;
    for (std::int64_t line = lineStart(first); line < end; line += kBytesPerLine) {
        QString hex;
        QString asText;
        for (std::int64_t at = line; at < line + kBytesPerLine; ++at) {
            if (at < first || at >= end) {
                hex += QStringLiteral("   ");
                continue;
            }
            const auto byte =
                static_cast<unsigned char>(shown.bytes[static_cast<std::size_t>(at - first)]);
            hex += QStringLiteral("%1 ").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
            asText += shownByte(byte);
        }
        text += QString::number(line, 16).toUpper().rightJustified(8, QLatin1Char('0')) +
                QStringLiteral("  ") + hex + QLatin1Char(' ') + asText + QLatin1Char('\n');
    }
    view_->setPlainText(text);

    // Each byte of the value is marked in both columns, line by line.
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat format;
    format.setBackground(palette().color(QPalette::Highlight));
    format.setForeground(palette().color(QPalette::HighlightedText));
    const std::int64_t last = std::min(source.offset + source.length(), end);
    for (std::int64_t at = std::max(source.offset, first); at < last;) {
        const std::int64_t line = lineStart(at);
        const std::int64_t upTo = std::min(last, line + kBytesPerLine);
        const QTextBlock block =
            view_->document()->findBlockByNumber(static_cast<int>((line - lineStart(first)) /
                                                                  kBytesPerLine));
        const auto column = static_cast<int>(at - line);
        const auto count = static_cast<int>(upTo - at);
        for (const auto& [start, length] : {std::pair{kHexColumn + 3 * column, 3 * count - 1},
                                            std::pair{kTextColumn + column, count}}) {
            QTextCursor cursor(block);
            cursor.setPosition(block.position() + start);
            cursor.setPosition(block.position() + start + length, QTextCursor::KeepAnchor);
            marks.append({cursor, format});
        }
        at = upTo;
    }
    view_->setExtraSelections(marks);
    if (!marks.isEmpty()) {
        QTextCursor cursor = marks.front().cursor;
        cursor.clearSelection();
        view_->setTextCursor(cursor);
        view_->centerCursor();
    }
}
