#include "bytes_window.h"

#include "cp1251_text.h"
#include "native_path.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "source_text.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

constexpr int kBytesPerLine = 16;
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

void BytesWindow::showRow(const dravik::ResultRow& row, bool reread) {
    view_->clear();
    if (!row.source || !row.source->file) {
        status_->setText(QStringLiteral("This row was not read from a file."));
        return;
    }
    const dravik::RowSource& source = *row.source;
    if (reread || *source.file != path_)
        readFile(*source.file);
    const QString file = nativeToQString(path_);
    if (!problem_.isEmpty()) {
        status_->setText(QStringLiteral("%1: %2").arg(file, problem_));
        return;
    }
    // The value's bytes are looked for where the command read them.
    const bool changed = !source.bytes.empty() &&
                         (source.offset < 0 || static_cast<std::size_t>(source.offset) > data_.size() ||
                          data_.compare(static_cast<std::size_t>(source.offset),
                                        source.bytes.size(), source.bytes) != 0);
    status_->setText(
        changed ? QStringLiteral("%1 has changed since the command: the bytes at offset %2 are no "
                                 "longer those its value was made of. It now holds:")
                      .arg(file)
                      .arg(source.offset)
                : sourceText(source));
    showBytes(source);
}

void BytesWindow::readFile(const std::string& path) {
    path_ = path;
    data_.clear();
    problem_.clear();
    try {
        if (!dravik::readPlainFile(path, data_))
            problem_ = QStringLiteral("the file is gone since the command.");
    } catch (const dravik::Error& error) {
        problem_ = fromCp1251(dravik::errorReportText(error.message()));
    }
}

void BytesWindow::showBytes(const dravik::RowSource& source) {
    const auto size = static_cast<std::int64_t>(data_.size());
    std::int64_t first = 0;
    std::int64_t end = size;
    if (size > kWholeFileLimit) {
        first = std::max<std::int64_t>(0, lineStart(source.offset - kContext));
        end = std::min(size, lineStart(source.offset + source.length() + kContext) + kBytesPerLine);
    }
    QString text;
    for (std::int64_t line = lineStart(first); line < end; line += kBytesPerLine) {
        QString hex;
        QString shown;
        for (std::int64_t at = line; at < line + kBytesPerLine; ++at) {
            if (at < first || at >= end) {
                hex += QStringLiteral("   ");
                continue;
            }
            const auto byte = static_cast<unsigned char>(data_[static_cast<std::size_t>(at)]);
            hex += QStringLiteral("%1 ").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
            shown += shownByte(byte);
        }
        text += QString::number(line, 16).toUpper().rightJustified(8, QLatin1Char('0')) +
                QStringLiteral("  ") + hex + QLatin1Char(' ') + shown + QLatin1Char('\n');
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
