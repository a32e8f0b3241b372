#pragma once

#include "results/result_list.h"

#include <QObject>

class BytesWindow;
class QAction;
class QMenu;
class QTableView;

/// "Bytes" in a grid's menu: opens the Bytes window on the grid's current
/// row, beside the main window when the screen has room. While the window is
/// open it follows the current row. The command is greyed when the current
/// row was read from no file.
class ShowBytes : public QObject {
    Q_OBJECT

  public:
    ShowBytes(QTableView& grid, QMenu& menu, const dravik::ResultList& rows, QWidget& window);

    /// The Bytes window once it was opened, else nullptr.
    BytesWindow* window() const { return bytes_; }

    void showBytes();

  private:
    QTableView& grid_;
    const dravik::ResultList& rows_;
    QWidget& window_;
    QAction* action_ = nullptr;
    BytesWindow* bytes_ = nullptr;
};
