#include "shared/grid_actions.h"

#include "bytes/bytes_window.h"
#include "compare/compare_window.h"
#include "platform/file_system.h"
#include "results/row_json.h"
#include "shared/cp1251_text.h"
#include "shared/dialogs.h"
#include "shared/native_path.h"
#include "workspace/command_rules.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QScreen>
#include <QTableView>
#include <QTimer>

#include <algorithm>

QString shownCellText(const std::string& cp1251) {
    QString text = fromCp1251(cp1251);
    for (QChar& c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

QString rowsAsText(const dravik::ResultList& rows, const std::vector<std::size_t>& indexes) {
    QString text;
    for (const std::size_t index : indexes) {
        const dravik::ResultRow& row = rows.row(index);
        text += shownCellText(row.name) + QLatin1Char('\t') + shownCellText(row.value) +
                QLatin1Char('\n');
    }
    return text;
}

QString rowsAsJson(const dravik::ResultList& rows, const std::vector<std::size_t>& indexes) {
    std::string json = "[";
    for (const std::size_t index : indexes) {
        json += (json.size() == 1 ? "\n  " : ",\n  ") +
                dravik::rowJson(rows.row(index), rows.replacedValue(index) != nullptr);
    }
    return QString::fromStdString(json + "\n]\n");
}

GridActions::GridActions(QTableView& grid, const dravik::ResultList& rows, QWidget& window,
                         Dialogs& dialogs, const dravik::Context& context)
    : QObject(&grid), grid_(grid), rows_(rows), window_(window), dialogs_(dialogs),
      context_(context) {
    menu_ = new QMenu(&grid);
    menu_->setObjectName(QStringLiteral("PopupMenu2"));
    copy_ = menu_->addAction(QStringLiteral("Copy"), this, &GridActions::copySelected);
    copy_->setObjectName(QStringLiteral("CopyRows"));
    // Ctrl+C copies the selected rows while the grid has the focus; an open
    // editor keeps Ctrl+C for its own text.
    copy_->setShortcut(QKeySequence::Copy);
    copy_->setShortcutContext(Qt::WidgetShortcut);
    grid.addAction(copy_);
    copyAll_ = menu_->addAction(QStringLiteral("Copy all"), this, &GridActions::copyAll);
    copyAll_->setObjectName(QStringLiteral("CopyAllRows"));
    copyJson_ =
        menu_->addAction(QStringLiteral("Copy as JSON"), this, &GridActions::copySelectedAsJson);
    copyJson_->setObjectName(QStringLiteral("CopyRowsAsJson"));
    menu_->addSeparator();
    bytesAction_ = menu_->addAction(QStringLiteral("Bytes"), this, &GridActions::showBytes);
    bytesAction_->setObjectName(QStringLiteral("ShowBytes"));
    createCompareAction();
    connect(menu_, &QMenu::aboutToShow, this, &GridActions::updateActions);

    grid.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&grid, &QTableView::customContextMenuRequested, this,
            [this](QPoint at) { menu_->popup(grid_.viewport()->mapToGlobal(at)); });
    followAppendedRows();
    // The open Bytes window follows the current row.
    connect(grid.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (bytes_ && bytes_->isVisible() && current.isValid())
                    bytes_->showRow(rows_.row(static_cast<std::size_t>(current.row())));
            });
}

std::vector<std::size_t> GridActions::selectedRows() const {
    std::vector<std::size_t> indexes;
    for (const QModelIndex& index : grid_.selectionModel()->selectedRows())
        indexes.push_back(static_cast<std::size_t>(index.row()));
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

void GridActions::updateActions() {
    const bool selected = grid_.selectionModel()->hasSelection();
    const QModelIndex current = grid_.currentIndex();
    copy_->setEnabled(selected);
    copyJson_->setEnabled(selected);
    copyAll_->setEnabled(rows_.count() > 0);
    bytesAction_->setEnabled(current.isValid() &&
                             rows_.row(static_cast<std::size_t>(current.row())).source);
}

void GridActions::followAppendedRows() {
    // Rows that a command appends below rows already shown would arrive out
    // of sight: once the command has ended, the first of them is scrolled
    // into view. A grid that was empty shows its first row anyway.
    connect(grid_.model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int) {
                if (first == 0 || firstAppended_ >= 0)
                    return;
                firstAppended_ = first;
                QTimer::singleShot(0, this, [this] {
                    // The view lays the new rows out later on its own; the
                    // scroll range must know them first.
                    grid_.doItemsLayout();
                    if (firstAppended_ < grid_.model()->rowCount())
                        grid_.scrollTo(grid_.model()->index(firstAppended_, 0));
                    firstAppended_ = -1;
                });
            });
    connect(grid_.model(), &QAbstractItemModel::modelReset, this, [this] { firstAppended_ = -1; });
}

void GridActions::copySelected() {
    const std::vector<std::size_t> indexes = selectedRows();
    if (!indexes.empty())
        QApplication::clipboard()->setText(rowsAsText(rows_, indexes));
}

void GridActions::copyAll() {
    std::vector<std::size_t> indexes(rows_.count());
    for (std::size_t i = 0; i < indexes.size(); ++i)
        indexes[i] = i;
    if (!indexes.empty())
        QApplication::clipboard()->setText(rowsAsText(rows_, indexes));
}

void GridActions::copySelectedAsJson() {
    const std::vector<std::size_t> indexes = selectedRows();
    if (!indexes.empty())
        QApplication::clipboard()->setText(rowsAsJson(rows_, indexes));
}

void GridActions::showBytes() {
    const QModelIndex current = grid_.currentIndex();
    if (!current.isValid())
        return;
    if (!bytes_) {
        bytes_ = new BytesWindow(&window_);
        // Beside the main window when the screen has room, so that the grid
        // stays in sight while the highlight follows its rows.
        const QRect screen = window_.screen()->availableGeometry();
        const QPoint beside = window_.frameGeometry().topRight() + QPoint(1, 0);
        if (screen.contains(QRect(beside, bytes_->frameSize())))
            bytes_->move(beside);
    }
    bytes_->showRow(rows_.row(static_cast<std::size_t>(current.row())));
    bytes_->show();
    bytes_->raise();
    bytes_->activateWindow();
}

CompareWindow* GridActions::compareWindow() const {
    return compare_;
}

void GridActions::createCompareAction() {
    compareAction_ =
        menu_->addAction(QStringLiteral("Compare with\u2026"), this, &GridActions::compareWith);
    compareAction_->setObjectName(QStringLiteral("CompareWith"));
    // Anywhere in the main window, as the toolbar's commands.
    compareAction_->setShortcut(QKeySequence(QStringLiteral("Ctrl+D")));
    compareAction_->setShortcutContext(Qt::WindowShortcut);
    window_.addAction(compareAction_);
}

void GridActions::compareWith() {
    const std::string folder = context_.workingFolder;
    if (!dravik::isFolder(folder))
        return;
    // The twin of a drive folder usually stands beside it.
    const std::string above = dravik::folderAbove(folder);
    const QString other = dialogs_.chooseFolder(
        QStringLiteral("Compare with"), nativeToQString(dravik::isFolder(above) ? above : folder));
    if (other.isEmpty())
        return;
    compare_ = new CompareWindow(commandShown(rows_.rows()), folder, qStringToNative(other),
                                 context_.startFolder, &window_);
    compare_->setAttribute(Qt::WA_DeleteOnClose);
    compare_->show();
    compare_->raise();
    compare_->activateWindow();
}
