#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

class Dialogs;
class LibraryWindow;
class QMenu;

namespace dravik {
struct Context;
}

/// "Library…" in the main grid's menu, and Ctrl+Shift+F anywhere in the main
/// window: opens the main window's one Library window beside it, or raises it
/// when it is open. The library is the one DRAVIK_LIBRARY names (a file or a
/// server's URL), else the user's library file.
class OpenLibrary : public QObject {
    Q_OBJECT

  public:
    OpenLibrary(QMenu& menu, QWidget& window, Dialogs& dialogs, const dravik::Context& context,
                std::function<void(const std::string&)> chooseFolder);

    /// The Library window while it is open, else nullptr.
    LibraryWindow* window() const;

    void openLibrary();

  private:
    QWidget& window_;
    Dialogs& dialogs_;
    const dravik::Context& context_;
    std::function<void(const std::string&)> chooseFolder_;
    QPointer<LibraryWindow> library_;
};
