#include "app/main_window/appended_rows.h"

#include <QTableView>
#include <QTimer>

#include <memory>

void scrollToAppendedRows(QTableView& grid) {
    // The first row appended since the grid last settled; -1 when none.
    auto firstAppended = std::make_shared<int>(-1);
    QAbstractItemModel* model = grid.model();
    QObject::connect(model, &QAbstractItemModel::rowsInserted, &grid,
                     [&grid, firstAppended](const QModelIndex&, int first, int) {
                         if (first == 0 || *firstAppended >= 0)
                             return;
                         *firstAppended = first;
                         QTimer::singleShot(0, &grid, [&grid, firstAppended] {
                             // The view lays the new rows out later on its own; the
                             // scroll range must know them first.
                             grid.doItemsLayout();
                             if (*firstAppended < grid.model()->rowCount())
                                 grid.scrollTo(grid.model()->index(*firstAppended, 0));
                             *firstAppended = -1;
                         });
                     });
    QObject::connect(model, &QAbstractItemModel::modelReset, &grid,
                     [firstAppended] { *firstAppended = -1; });
}
