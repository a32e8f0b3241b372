#pragma once

#include <QObject>

#include <functional>
#include <vector>

class QAction;
class QMenu;
class QTableView;

/// A grid's own menu of copy commands, opened by a right-click on the grid:
/// "Copy" the selected rows (also Ctrl+C while the grid has the focus), "Copy
/// all" every row the grid shows, "Copy as JSON" the selected rows. Each puts
/// the text that the grid's window makes of those rows on the clipboard.
class GridCopyMenu : public QObject {
    Q_OBJECT

  public:
    /// The index of the row that a line of the grid shows.
    using RowAt = std::function<std::size_t(int line)>;
    /// The text of the rows at indexes, which are in ascending order.
    using RowsText = std::function<QString(const std::vector<std::size_t>& indexes)>;

    GridCopyMenu(QTableView& grid, const QString& name, RowAt rowAt, RowsText asText,
                 RowsText asJson);

    QMenu* menu() const { return menu_; }

    /// Greys the commands that have no row to copy, each time the menu opens.
    void greyWhenNothingToCopy();

    void copySelected();
    void copyAll();
    void copySelectedAsJson();

  private:
    std::vector<std::size_t> selectedRows() const;

    QTableView& grid_;
    RowAt rowAt_;
    RowsText asText_;
    RowsText asJson_;
    QMenu* menu_ = nullptr;
    QAction* copy_ = nullptr;
    QAction* copyAll_ = nullptr;
    QAction* copyJson_ = nullptr;
};
