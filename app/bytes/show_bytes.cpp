#include "app/bytes/show_bytes.h"

#include "app/bytes/bytes_window.h"

#include <QAction>
#include <QMenu>
#include <QScreen>
#include <QTableView>

ShowBytes::ShowBytes(QTableView& grid, QMenu& menu, const dravik::ResultList& rows, QWidget& window)
    : QObject(&grid), grid_(grid), rows_(rows), window_(window) {
    action_ = menu.addAction(QStringLiteral("Bytes"), this, &ShowBytes::showBytes);
    action_->setObjectName(QStringLiteral("ShowBytes"));
    connect(&menu, &QMenu::aboutToShow, this, [this] {
        const QModelIndex current = grid_.currentIndex();
        action_->setEnabled(current.isValid() &&
                            rows_.row(static_cast<std::size_t>(current.row())).source);
    });
    connect(grid.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (bytes_ && bytes_->isVisible() && current.isValid())
                    bytes_->showRow(rows_.row(static_cast<std::size_t>(current.row())));
            });
}

void ShowBytes::showBytes() {
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
