#include "app/settings_editor/layout_preview.h"

#include "app/settings_editor/settings_pipeline.h"
#include "app/shared/cp1251_text.h"
#include "app/shared/hex_view.h"
#include "app/shared/native_path.h"
#include "platform/cp1251.h"
#include "platform/file_system.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

enum Column { kName, kValue, kEntry };

// Each field's bytes in one of two colours by turns, so that neighbours part.
const QColor kFieldColours[] = {QColor(0xCF, 0xE3, 0xFF), QColor(0xFF, 0xE6, 0xA8)};
const QColor kErrorRow(0xFF, 0xD8, 0xD8);
const QColor kWarningRow(0xFF, 0xF4, 0xC8);

// The window's height when the screen has room for it, and the least it
// shortens to beside the editor.
constexpr int kHeight = 720;
constexpr int kLeastHeight = 400;
// The widest a column opens, so that one long value leaves room for the others.
constexpr int kWidestColumn = 320;

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

LayoutPreview::LayoutPreview(QWidget& editor, SettingsPipeline& pipeline, FileChooser chooseFile)
    : QWidget(&editor, Qt::Window), editor_(editor), pipeline_(pipeline),
      chooseFile_(std::move(chooseFile)), chooser_(new QComboBox(this)),
      useCursorSection_(new QCheckBox(QStringLiteral("Use the section at the cursor"), this)),
      module_(new QLabel(this)), note_(new QLabel(this)),
      addFamilyLine_(new QPushButton(QStringLiteral("Add to [Mod]"), this)),
      split_(new QSplitter(Qt::Vertical, this)), rows_(new QTableWidget(0, 3, this)),
      bytes_(new HexView(this)) {
    setObjectName(QStringLiteral("LayoutPreview"));
    setWindowTitle(QStringLiteral("Layout preview"));
    chooser_->setObjectName(QStringLiteral("PreviewModuleChooser"));
    chooser_->setAccessibleName(QStringLiteral("Module"));
    chooser_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    chooser_->setMinimumContentsLength(24);
    useCursorSection_->setObjectName(QStringLiteral("PreviewUseCursorSection"));
    useCursorSection_->setToolTip(QStringLiteral(
        "Decode with the layout section that the editor's cursor stands in, whatever family "
        "code the module holds"));
    module_->setObjectName(QStringLiteral("PreviewModule"));
    module_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    note_->setObjectName(QStringLiteral("PreviewNote"));
    note_->setWordWrap(true);
    note_->hide();
    addFamilyLine_->setObjectName(QStringLiteral("PreviewAddFamilyLine"));
    addFamilyLine_->hide();

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
    rows_->setTextElideMode(Qt::ElideMiddle);
    bytes_->setObjectName(QStringLiteral("PreviewBytes"));
    bytes_->setAccessibleName(QStringLiteral("Bytes of the module"));
    bytes_->setMinimumWidth(bytes_->wholeLineWidth());

    split_->addWidget(rows_);
    split_->addWidget(bytes_);
    auto* choice = new QHBoxLayout;
    choice->addWidget(chooser_, 1);
    choice->addWidget(useCursorSection_);
    auto* status = new QHBoxLayout;
    status->addWidget(note_, 1);
    status->addWidget(addFamilyLine_, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addWidget(module_);
    layout->addLayout(status);
    layout->addWidget(split_, 1);
    resize(minimumSizeHint().width(), kHeight);

    connect(rows_, &QTableWidget::itemSelectionChanged, this, &LayoutPreview::rowChosen);
    connect(&pipeline_, &SettingsPipeline::previewed, this, &LayoutPreview::showPreview);
    // A module rewritten or deleted since it was read shows as it is now.
    connect(&pipeline_, &SettingsPipeline::moduleReread, this, &LayoutPreview::showModule);
    connect(chooser_, &QComboBox::activated, this, &LayoutPreview::moduleActivated);
    connect(useCursorSection_, &QCheckBox::toggled, this, &LayoutPreview::decodeWithCursorSection);
    connect(addFamilyLine_, &QPushButton::clicked, this, [this] {
        if (const auto& family = preview_.familyLine)
            emit familyLineAsked(
                family->line,
                fromCp1251(family->text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    });
    connect(new QShortcut(Qt::Key_F6, this), &QShortcut::activated, this, [this] {
        editor_.raise();
        editor_.activateWindow();
    });
    // It closes with the editor, whichever way that closes.
    editor.installEventFilter(this);
}

void LayoutPreview::open() {
    listModules();
    loadModule();
    // Decoded before it is placed, so that it opens as wide as its rows.
    pipeline_.passNow();
    if (!isVisible()) {
        // Once more when shown, as the size of the window's frame may be
        // known only then.
        placeBesideEditor();
        show();
        placeBesideEditor();
    }
    raise();
    activateWindow();
}

void LayoutPreview::focusRows() {
    raise();
    activateWindow();
    rows_->setFocus(Qt::ShortcutFocusReason);
}

// The working folder's passport modules, the one chosen elsewhere, "Open...".
void LayoutPreview::listModules() {
    const std::string folder = dravik::currentDirectory();
    choices_ = dravik::listPasportModules(folder);
    if (chosen_.empty() && !choices_.empty())
        chosen_ = choices_.back();
    if (!chosen_.empty() && std::find(choices_.begin(), choices_.end(), chosen_) == choices_.end())
        choices_.push_back(chosen_);
    chooser_->clear();
    for (const std::string& path : choices_) {
        const QString shown = nativeToQString(path);
        const bool inFolder = QFileInfo(shown).absolutePath() == nativeToQString(folder);
        chooser_->addItem(inFolder ? QFileInfo(shown).fileName() : shown);
        chooser_->setItemData(chooser_->count() - 1, shown, Qt::ToolTipRole);
    }
    chooser_->addItem(QStringLiteral("Open\u2026"));
    chooser_->setItemData(chooser_->count() - 1,
                          QStringLiteral("A module from another folder, or any file"),
                          Qt::ToolTipRole);
    chooser_->setCurrentIndex(
        static_cast<int>(std::find(choices_.begin(), choices_.end(), chosen_) - choices_.begin()));
}

void LayoutPreview::moduleActivated(int index) {
    if (static_cast<std::size_t>(index) < choices_.size()) {
        chosen_ = choices_[static_cast<std::size_t>(index)];
    } else {
        const QString start = chosen_.empty() ? nativeToQString(dravik::currentDirectory())
                                              : QFileInfo(nativeToQString(chosen_)).absolutePath();
        const QString file = chooseFile_(QStringLiteral("Open a module"), start,
                                         QStringLiteral("Modules (*.rpm);;All files (*)"));
        if (!file.isEmpty())
            chosen_ = qStringToNative(file);
    }
    listModules();
    loadModule();
    pipeline_.passNow();
}

// Reads the chosen module anew and hands it to the pipeline.
void LayoutPreview::loadModule() {
    dravik::OpenedModule opened;
    if (!chosen_.empty())
        opened = dravik::openModuleFile(chosen_);
    showModule(std::move(opened));
}

// Shows the module as read, or what is said of it, and hands it to the pipeline.
void LayoutPreview::showModule(dravik::OpenedModule opened) {
    shownModule_ = std::move(opened.module);
    moduleNote_ = std::move(opened.note);
    preview_ = {};
    fitColumns_ = true;
    const bool found = !shownModule_.path.empty();
    module_->setText(found ? QStringLiteral("Module %1").arg(nativeToQString(shownModule_.path))
                     : chosen_.empty() ? QStringLiteral("No passport module in %1")
                                             .arg(nativeToQString(dravik::currentDirectory()))
                                       : QStringLiteral("No module"));
    split_->setHidden(!found);
    rows_->setRowCount(0);
    if (found)
        bytes_->showBytes(shownModule_.module, 0);
    pipeline_.setModule(found ? std::optional(shownModule_) : std::nullopt);
    pipeline_.setSection(section_);
    showStatus();
}

// With the switch on, the section the cursor stands in decodes; a pass in
// the worker follows the cursor into another one.
void LayoutPreview::decodeWithCursorSection() {
    std::optional<std::string> wanted;
    if (const std::string* section = preview_.sectionAt(cursorLine_);
        section && useCursorSection_->isChecked())
        wanted = *section;
    if (wanted == section_)
        return;
    section_ = std::move(wanted);
    pipeline_.setSection(section_);
    if (!shownModule_.path.empty())
        pipeline_.passInWorker();
}

void LayoutPreview::hideEvent(QHideEvent* event) {
    // Passes made after the preview closed only check; a minimised preview
    // (a hide the system sends) goes on following the text.
    if (!event->spontaneous())
        pipeline_.setModule(std::nullopt);
    QWidget::hideEvent(event);
}

void LayoutPreview::showPreview(const dravik::PasportPreview& preview) {
    if (shownModule_.path.empty())
        return;
    preview_ = preview;
    showRows();
    if (std::exchange(fitColumns_, false))
        fitColumns();
    decodeWithCursorSection();
    emit refreshed();
}

// Each column as wide as its widest text, up to a limit; the Entry column
// takes what is left.
void LayoutPreview::fitColumns() {
    const QFontMetrics metrics = rows_->fontMetrics();
    const int padding = 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, rows_) + 8;
    int total = 0;
    for (int column = kName; column <= kEntry; ++column) {
        int widest = metrics.horizontalAdvance(rows_->horizontalHeaderItem(column)->text());
        for (int row = 0; row < rows_->rowCount(); ++row) {
            const QTableWidgetItem* item = rows_->item(row, column);
            const int icon = item->icon().isNull() ? 0 : rows_->iconSize().width() + 4;
            widest = std::max(widest, metrics.horizontalAdvance(item->text()) + icon);
        }
        const int width = std::min(widest + padding, kWidestColumn);
        if (column != kEntry)
            rows_->setColumnWidth(column, width);
        total += width;
    }
    rowsWidth_ = total + 2 * rows_->frameWidth() + rows_->verticalScrollBar()->sizeHint().width();
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
        // The whole text, which a narrow column shows cut in the middle.
        item->setToolTip(tip.isEmpty() ? texts[column] : texts[column] + QLatin1Char('\n') + tip);
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
    decodeWithCursorSection();
    followCursor();
}

// What is said of the module, of a layout longer than it, and of the
// section that decoded it where that is not the cursor's.
void LayoutPreview::showStatus() {
    QStringList said;
    if (moduleNote_)
        said << fromCp1251(*moduleNote_);
    const std::string* typed = preview_.sectionAt(cursorLine_);
    const bool decoded = !shownModule_.path.empty() && !preview_.section.empty();
    if (decoded && preview_.chosen)
        said << QStringLiteral("Decoded with [%1], the section at the cursor.%2")
                    .arg(fromCp1251(preview_.section),
                         preview_.named ? QString()
                                        : QStringLiteral(" No key of [Mod] names it yet."));
    else if (decoded && typed && !dravik::equalsIgnoreCase(*typed, preview_.section))
        said << (preview_.familyOffset
                     ? QStringLiteral("Decoded with [%1], the family code found at offset %2 of "
                                      "the module; the cursor is in [%3].")
                           .arg(fromCp1251(preview_.section))
                           .arg(*preview_.familyOffset)
                           .arg(fromCp1251(*typed))
                     : QStringLiteral("Decoded with [%1]: the module holds no family code of "
                                      "[Mod]; the cursor is in [%2].")
                           .arg(fromCp1251(preview_.section), fromCp1251(*typed)));
    if (decoded && preview_.shortNote)
        said << fromCp1251(*preview_.shortNote);
    note_->setText(said.join(QLatin1Char('\n')));
    note_->setHidden(said.isEmpty());
    const bool offered = decoded && preview_.chosen && preview_.familyLine;
    addFamilyLine_->setHidden(!offered);
    if (offered)
        addFamilyLine_->setToolTip(
            QStringLiteral("Adds \"%1\" to the text, before line %2")
                .arg(fromCp1251(preview_.familyLine->text)
                         .replace(QStringLiteral("\r\n"), QStringLiteral(" ")))
                .arg(preview_.familyLine->line));
}

// The row of the entry on the editor's line, and the section that line is in.
void LayoutPreview::followCursor() {
    showStatus();
    if (shownModule_.path.empty() || moving_)
        return;
    const std::size_t line = cursorLine_;
    for (std::size_t i = 0; i < preview_.rows.size(); ++i) {
        if (preview_.rows[i].line == line) {
            moving_ = true;
            rows_->selectRow(static_cast<int>(i));
            moving_ = false;
            return;
        }
    }
}

// On the side of the editor with more room, as wide as its rows and bytes
// need; over the editor rather than over the screen's edge where that side
// is too narrow.
void LayoutPreview::placeBesideEditor() {
    const QScreen* screen = editor_.screen();
    if (!screen)
        return;
    const QRect room = screen->availableGeometry();
    const QRect editor = editor_.frameGeometry();
    const QSize frame = frameGeometry().size() - size();
    const int left = editor.left() - room.left();
    const int right = room.right() - editor.right();
    const QMargins margins = layout()->contentsMargins();
    const int wanted =
        std::max(minimumSizeHint().width(), rowsWidth_ + margins.left() + margins.right());
    resize(std::min(wanted, room.width() - frame.width()),
           std::clamp(room.bottom() - editor.top() - frame.height(), kLeastHeight,
                      std::min(kHeight, room.height() - frame.height())));
    const QSize outer = size() + frame;
    const int x = right >= left ? editor.right() + 1 : editor.left() - outer.width();
    move(std::clamp(x, room.left(), room.right() + 1 - outer.width()),
         std::clamp(editor.top(), room.top(), room.bottom() + 1 - outer.height()));
}

bool LayoutPreview::eventFilter(QObject* watched, QEvent* event) {
    // The module chosen is kept only while the editor is open.
    if (watched == &editor_ && event->type() == QEvent::Hide) {
        chosen_.clear();
        close();
    }
    return QWidget::eventFilter(watched, event);
}

void LayoutPreview::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
