#include "bytes_window.h"

#include "cp1251_text.h"
#include "native_path.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "source_text.h"

#include <QLabel>
#include <QVBoxLayout>

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
    view_ = new HexView(this);
    view_->setObjectName(QStringLiteral("BytesView"));
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
        first = source.offset - kContext;
        end = source.offset + source.length() + kContext + 1;
    }
    view_->showBytes(data_, first, end);
    view_->setMarks({{source.offset, source.length(), palette().color(QPalette::Highlight),
                      palette().color(QPalette::HighlightedText)}});
    view_->centreOn(source.offset);
}
