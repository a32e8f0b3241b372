#include "app/bytes/bytes_window.h"

#include "app/shared/close_keys.h"
#include "app/shared/cp1251_text.h"
#include "app/shared/native_path.h"
#include "app/shared/source_text.h"
#include "platform/errors.h"

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
    closeOnEscapeAndCtrlW(*this);
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
    view_->showBytes(shown.bytes, shown.first);
    view_->setMarks({{source.offset, source.length(), palette().color(QPalette::Highlight),
                      palette().color(QPalette::HighlightedText)}});
    view_->centreOn(source.offset);
}
