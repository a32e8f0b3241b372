#include "app/shared/grid_copy_menu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTableView>

#include <algorithm>

namespace {

void copyToClipboard(const std::vector<std::size_t>& indexes, const GridCopyMenu::RowsText& text) {
    if (!indexes.empty())
        QApplication::clipboard()->setText(text(indexes));
}

} // namespace

GridCopyMenu::GridCopyMenu(QTableView& grid, const QString& name, RowAt rowAt, RowsText asText,
                           RowsText asJson)
    : QObject(&grid), grid_(grid), rowAt_(std::move(rowAt)), asText_(std::move(asText)),
      asJson_(std::move(asJson)) {
    menu_ = new QMenu(&grid);
    menu_->setObjectName(name);
    copy_ = menu_->addAction(QStringLiteral("Copy"), this, &GridCopyMenu::copySelected);
    copy_->setObjectName(QStringLiteral("CopyRows"));
    // Ctrl+C copies the selected rows while the grid has the focus; an open
    // editor keeps Ctrl+C for its own text.
    copy_->setShortcut(QKeySequence::Copy);
    copy_->setShortcutContext(Qt::WidgetShortcut);
    grid.addAction(copy_);
    copyAll_ = menu_->addAction(QStringLiteral("Copy all"), this, &GridCopyMenu::copyAll);
    copyAll_->setObjectName(QStringLiteral("CopyAllRows"));
    copyJson_ =
        menu_->addAction(QStringLiteral("Copy as JSON"), this, &GridCopyMenu::copySelectedAsJson);
    copyJson_->setObjectName(QStringLiteral("CopyRowsAsJson"));

    grid.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&grid, &QTableView::customContextMenuRequested, this,
            [this](QPoint at) { menu_->popup(grid_.viewport()->mapToGlobal(at)); });
}

void GridCopyMenu::greyWhenNothingToCopy() {
    connect(menu_, &QMenu::aboutToShow, this, [this] {
        const bool selected = grid_.selectionModel()->hasSelection();
        copy_->setEnabled(selected);
        copyJson_->setEnabled(selected);
        copyAll_->setEnabled(grid_.model()->rowCount() > 0);
    });
}

std::vector<std::size_t> GridCopyMenu::selectedRows() const {
    std::vector<std::size_t> indexes;
    for (const QModelIndex& index : grid_.selectionModel()->selectedRows())
        indexes.push_back(rowAt_(index.row()));
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

void GridCopyMenu::copySelected() {
    copyToClipboard(selectedRows(), asText_);
}

void GridCopyMenu::copyAll() {
    std::vector<std::size_t> indexes;
    for (int line = 0; line < grid_.model()->rowCount(); ++line)
        indexes.push_back(rowAt_(line));
    copyToClipboard(indexes, asText_);
}

void GridCopyMenu::copySelectedAsJson() {
    copyToClipboard(selectedRows(), asJson_);
}
