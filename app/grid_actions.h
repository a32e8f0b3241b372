#pragma once

#include "results/result_list.h"

#include <QObject>

#include <vector>

class BytesWindow;
class QAction;
class QMenu;
class QTableView;

/// The grid's own menu (PopupMenu2) and what it does: copying the selected
/// rows as "Name<TAB>Value" lines or as the JSON of dravik-cli, copying every
/// row, and the Bytes window of the current row, which follows the current
/// row while it is open. Ctrl+C on the grid copies the selected rows. Rows
/// that a command appends below rows already there are scrolled into view.
class GridActions : public QObject {
    Q_OBJECT

  public:
    GridActions(QTableView& grid, const dravik::ResultList& rows, QWidget& window);

    QMenu* menu() const { return menu_; }
    /// The Bytes window once it was opened, else nullptr.
    BytesWindow* bytesWindow() const { return bytes_; }

    void copySelected();
    void copyAll();
    void copySelectedAsJson();
    void showBytes();

  private:
    std::vector<std::size_t> selectedRows() const;
    void updateActions();
    void followAppendedRows();

    QTableView& grid_;
    const dravik::ResultList& rows_;
    QWidget& window_;
    QMenu* menu_ = nullptr;
    QAction* copy_ = nullptr;
    QAction* copyAll_ = nullptr;
    QAction* copyJson_ = nullptr;
    QAction* bytesAction_ = nullptr;
    BytesWindow* bytes_ = nullptr;
    /// The first row appended since the grid last settled; -1 when none.
    int firstAppended_ = -1;
};

/// The rows at indexes as "Name<TAB>Value" lines in UTF-8 as the grid shows
/// them: blanks that end a text are not shown, and a tab or line break inside
/// a text would split its line, so it becomes a blank.
QString rowsAsText(const dravik::ResultList& rows, const std::vector<std::size_t>& indexes);

/// The rows at indexes as a JSON array, each row as dravik-cli --format json
/// writes it.
QString rowsAsJson(const dravik::ResultList& rows, const std::vector<std::size_t>& indexes);
