#pragma once

#include "modules/context.h"
#include "results/result_list.h"

#include <QObject>
#include <QPointer>

#include <vector>

class BytesWindow;
class CompareWindow;
class Dialogs;
class QAction;
class QMenu;
class QTableView;

/// The grid's own menu (PopupMenu2) and what it does: copying the selected
/// rows as "Name<TAB>Value" lines or as the JSON of dravik-cli, copying every
/// row, and the Bytes window of the current row, which follows the current
/// row while it is open. Ctrl+C on the grid copies the selected rows.
/// "Compare with…" (Ctrl+D in the whole window) asks for a second folder and
/// opens a Compare window on the working folder and it, for the command
/// whose rows the grid shows. Rows that a command appends below rows already
/// there are scrolled into view.
class GridActions : public QObject {
    Q_OBJECT

  public:
    GridActions(QTableView& grid, const dravik::ResultList& rows, QWidget& window, Dialogs& dialogs,
                const dravik::Context& context);

    QMenu* menu() const { return menu_; }
    /// The Bytes window once it was opened, else nullptr.
    BytesWindow* bytesWindow() const { return bytes_; }
    /// The Compare window opened last while it is open, else nullptr.
    CompareWindow* compareWindow() const;

    void copySelected();
    void copyAll();
    void copySelectedAsJson();
    void showBytes();
    void compareWith();

  private:
    void createCompareAction();
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
    Dialogs& dialogs_;
    const dravik::Context& context_;
    QAction* compareAction_ = nullptr;
    QPointer<CompareWindow> compare_;
    /// The first row appended since the grid last settled; -1 when none.
    int firstAppended_ = -1;
};

/// A Windows-1251 text as a grid's cell shows it: blanks that end it are not
/// shown, and a tab or line break inside becomes a blank.
QString shownCellText(const std::string& cp1251);

/// The rows at indexes as "Name<TAB>Value" lines in UTF-8 as the grid shows
/// them: blanks that end a text are not shown, and a tab or line break inside
/// a text would split its line, so it becomes a blank.
QString rowsAsText(const dravik::ResultList& rows, const std::vector<std::size_t>& indexes);

/// The rows at indexes as a JSON array, each row as dravik-cli --format json
/// writes it.
QString rowsAsJson(const dravik::ResultList& rows, const std::vector<std::size_t>& indexes);
