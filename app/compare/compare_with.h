#pragma once

#include "modules/context.h"
#include "results/result_list.h"

#include <QObject>
#include <QPointer>

#include <string>

class CompareWindow;
class Dialogs;
class QMenu;

/// "Compare with…" in the main grid's menu, and Ctrl+D anywhere in the main
/// window: asks for a second folder and opens a Compare window on the
/// working folder and it, starting on the block whose rows the grid shows.
class CompareWith : public QObject {
    Q_OBJECT

  public:
    CompareWith(QMenu& menu, const dravik::ResultList& rows, QWidget& window, Dialogs& dialogs,
                const dravik::Context& context);

    /// The Compare window opened last while it is open, else nullptr.
    CompareWindow* window() const;

    void compareWith();

  private:
    const dravik::ResultList& rows_;
    QWidget& window_;
    Dialogs& dialogs_;
    const dravik::Context& context_;
    QPointer<CompareWindow> compare_;
};

/// The folder Compare with… compares: the working folder, or before the first
/// folder command the current directory, which the loader list shows.
std::string folderToCompare(const dravik::Context& context);
