#include "app/settings_editor/layout_preview.h"

#include "app/settings_editor/settings_pipeline.h"
#include "app/shared/cp1251_text.h"
#include "app/shared/hex_view.h"
#include "app/shared/native_path.h"
#include "platform/cp1251.h"
#include "platform/file_system.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum Column { kName, kValue, kEntry };

// Each field's bytes in one of two colours by turns, so that neighbours part.
const QColor kFieldColours[] = {QColor(0xCF, 0xE3, 0xFF), QColor(0xFF, 0xE6, 0xA8)};
const QColor kErrorRow(0xFF, 0xD8, 0xD8);
const QColor kWarningRow(0xFF, 0xF4, 0xC8);

// The window's size when the screen has room for it, and the least it
// narrows to beside the editor.
constexpr int kWidth = 640;
constexpr int kHeight = 720;
constexpr int kLeastWidth = 420;
constexpr int kLeastHeight = 400;

// What is wrong with a row, one thing a line; empty for a sound row.
QString rowTip(const dravik::PreviewRow& row) {
    QStringList lines;
    for (const dravik::SettingsProblem& problem : row.problems)
        lines.append(QStringLiteral("Line ") + fromCp1251(dravik::problemText(problem)));
    if (row.message)
        lines.append(
            row.ends
                ? QStringLiteral("The Pasport command stops here: %1").arg(fromCp1251(*row.message))
                : QStringLiteral("The Pasport command shows the message \"%1\" here")
                      .arg(fromCp1251(*row.message)));
    return lines.join(QLatin1Char('\n'));
}

bool isError(const dravik::PreviewRow& row) {
    return row.ends || row.message || dravik::hasError(row.problems);
}

} // namespace

LayoutPreview::LayoutPreview(QWidget& editor, SettingsPipeline& pipeline)
    : QWidget(&editor, Qt::Window), editor_(editor), pipeline_(pipeline), module_(new QLabel(this)),
      note_(new QLabel(this)), split_(new QSplitter(Qt::Vertical, this)),
      rows_(new QTableWidget(0, 3, this)), bytes_(new HexView(this)) {
    setObjectName(QStringLiteral("LayoutPreview"));
    setWindowTitle(QStringLiteral("Layout preview"));
    module_->setObjectName(QStringLiteral("PreviewModule"));
    module_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    note_->setObjectName(QStringLiteral("PreviewNote"));
    note_->setWordWrap(true);
    note_->hide();

    rows_->setObjectName(QStringLiteral("PreviewRows"));
    rows_->setHorizontalHeaderLabels(
        {QStringLiteral("Name"), QStringLiteral("Value"), QStringLiteral("Entry")});
    rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rows_->setSelectionMode(QAbstractItemView::SingleSelection);
    rows_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rows_->verticalHeader()->hide();
    rows_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    rows_->horizontalHeader()->setStretchLastSection(true);
    rows_->setColumnWidth(kName, 130);
    rows_->setColumnWidth(kValue, 150);
    rows_->setTextElideMode(Qt::ElideRight);
    bytes_->setObjectName(QStringLiteral("PreviewBytes"));
    bytes_->setAccessibleName(QStringLiteral("Bytes of the module"));

    split_->addWidget(rows_);
    split_->addWidget(bytes_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(module_);
    layout->addWidget(note_);
    layout->addWidget(split_, 1);
    resize(kWidth, kHeight);

    connect(rows_, &QTableWidget::itemSelectionChanged, this, &LayoutPreview::rowChosen);
    connect(&pipeline_, &SettingsPipeline::previewed, this, &LayoutPreview::showPreview);
    // It closes with the editor, whichever way that closes.
    editor.installEventFilter(this);
}

void LayoutPreview::open() {
    shownModule_ = dravik::choosePasportModule(dravik::currentDirectory());
    const bool found = !shownModule_.path.empty();
    module_->setText(found ? QStringLiteral("Module %1").arg(nativeToQString(shownModule_.path))
                           : QStringLiteral("No passport module in %1")
                                 .arg(nativeToQString(dravik::currentDirectory())));
    split_->setHidden(!found);
    if (found)
        bytes_->showBytes(shownModule_.module, 0);
    if (!isVisible()) {
        placeBesideEditor();
        show();
    }
    raise();
    activateWindow();
    pipeline_.setModule(found ? std::optional(shownModule_) : std::nullopt);
    pipeline_.passNow();
}

void LayoutPreview::hideEvent(QHideEvent* event) {
    // Passes made after the preview closed only check; a minimised preview
    // (a hide the system sends) goes on following the text.
    if (!event->spontaneous())
        pipeline_.setModule(std::nullopt);
    QWidget::hideEvent(event);
}

void LayoutPreview::showPreview(const dravik::PasportPreview& preview) {
    if (!isVisible() || shownModule_.path.empty())
        return;
    preview_ = preview;
    showRows();
    emit refreshed();
}

void LayoutPreview::showRows() {
    const int current = rows_->currentRow();
    moving_ = true;
    rows_->setRowCount(static_cast<int>(preview_.rows.size()));
    for (std::size_t i = 0; i < preview_.rows.size(); ++i)
        showRow(static_cast<int>(i), preview_.rows[i]);
    if (current >= 0 && current < rows_->rowCount())
        rows_->selectRow(current);
    moving_ = false;
    followCursor();
    markBytes();
}

void LayoutPreview::showRow(int index, const dravik::PreviewRow& row) {
    const QString entry = row.row.source ? fromCp1251(row.row.source->entryText()) : QString();
    const QString texts[] = {fromCp1251(row.row.name), fromCp1251(row.row.value), entry};
    const QString tip = rowTip(row);
    for (int column = kName; column <= kEntry; ++column) {
        auto* item = new QTableWidgetItem(texts[column]);
        item->setToolTip(tip.isEmpty() && column == kEntry ? entry : tip);
        if (!tip.isEmpty())
            item->setBackground(isError(row) ? kErrorRow : kWarningRow);
        rows_->setItem(index, column, item);
    }
    if (!tip.isEmpty())
        rows_->item(index, kName)
            ->setIcon(style()->standardIcon(isError(row) ? QStyle::SP_MessageBoxCritical
                                                         : QStyle::SP_MessageBoxWarning));
}

void LayoutPreview::markBytes() {
    std::vector<HexView::Mark> marks;
    const int current = rows_->currentRow();
    std::size_t coloured = 0;
    for (std::size_t i = 0; i < preview_.rows.size(); ++i) {
        const auto& source = preview_.rows[i].row.source;
        if (!source || source->length() == 0)
            continue;
        // The current row counts too, so that each field keeps its colour.
        const QColor& colour = kFieldColours[coloured++ % 2];
        if (static_cast<int>(i) != current)
            marks.push_back({source->offset, source->length(), colour, QColor(Qt::black)});
    }
    // The current row's bytes last, over any field they share bytes with.
    if (current >= 0 && static_cast<std::size_t>(current) < preview_.rows.size()) {
        if (const auto& source = preview_.rows[static_cast<std::size_t>(current)].row.source) {
            marks.push_back({source->offset, source->length(), palette().color(QPalette::Highlight),
                             palette().color(QPalette::HighlightedText)});
            bytes_->centreOn(source->offset);
        }
    }
    bytes_->setMarks(marks);
}

void LayoutPreview::rowChosen() {
    markBytes();
    const int current = rows_->currentRow();
    if (moving_ || current < 0 || static_cast<std::size_t>(current) >= preview_.rows.size())
        return;
    const std::size_t line = preview_.rows[static_cast<std::size_t>(current)].line;
    if (line == 0)
        return;
    moving_ = true;
    emit lineChosen(line);
    moving_ = false;
}

void LayoutPreview::followLine(std::size_t line) {
    cursorLine_ = line;
    followCursor();
}

// The row of the entry on the editor's line, and the section that line is in.
void LayoutPreview::followCursor() {
    if (!isVisible() || shownModule_.path.empty())
        return;
    const std::size_t line = cursorLine_;
    const std::string* typed = preview_.sectionAt(line);
    const bool other = typed && !dravik::equalsIgnoreCase(*typed, preview_.section);
    note_->setHidden(!other);
    if (other)
        note_->setText(
            preview_.familyOffset
                ? QStringLiteral("Decoded with [%1], the family code found at offset %2 of the "
                                 "module; the cursor is in [%3].")
                      .arg(fromCp1251(preview_.section))
                      .arg(*preview_.familyOffset)
                      .arg(fromCp1251(*typed))
                : QStringLiteral("Decoded with [%1]: the module holds no family code of [Mod]; "
                                 "the cursor is in [%2].")
                      .arg(fromCp1251(preview_.section), fromCp1251(*typed)));
    if (moving_)
        return;
    for (std::size_t i = 0; i < preview_.rows.size(); ++i) {
        if (preview_.rows[i].line == line) {
            moving_ = true;
            rows_->selectRow(static_cast<int>(i));
            moving_ = false;
            return;
        }
    }
}

// On the side of the editor with more room, narrowed to that room as far as
// the rows stay readable, and never over the screen's edge.
void LayoutPreview::placeBesideEditor() {
    const QScreen* screen = editor_.screen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    const QRect editor = editor_.frameGeometry();
    const QSize frame = frameGeometry().size() - size();
    const int left = editor.left() - room.left();
    const int right = room.right() - editor.right();
    resize(std::clamp(std::max(left, right) - frame.width(), kLeastWidth, kWidth),
           std::clamp(room.bottom() - editor.top() - frame.height(), kLeastHeight, kHeight));
    const int outer = width() + frame.width();
    const int x = right >= left ? std::min(editor.right() + 1, room.right() + 1 - outer)
                                : std::max(editor.left() - outer, room.left());
    move(x, std::max(editor.top(), room.top()));
}

bool LayoutPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &editor_ && event->type() == QEvent::Hide)
        close();
    return QWidget::eventFilter(watched, event);
}

void LayoutPreview::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
