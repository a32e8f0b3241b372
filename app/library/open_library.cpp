#include "app/library/open_library.h"

#include "app/library/library_window.h"
#include "library/store.h"

#include <QAction>
#include <QMenu>

OpenLibrary::OpenLibrary(QMenu& menu, QWidget& window, Dialogs& dialogs,
                         const dravik::Context& context,
                         std::function<void(const std::string&)> chooseFolder)
    : QObject(&window), window_(window), dialogs_(dialogs), context_(context),
      chooseFolder_(std::move(chooseFolder)) {
    QAction* action =
        menu.addAction(QStringLiteral("Library\u2026"), this, &OpenLibrary::openLibrary);
    action->setObjectName(QStringLiteral("OpenLibrary"));
    action->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+F")));
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);
}

LibraryWindow* OpenLibrary::window() const {
    return library_;
}

void OpenLibrary::openLibrary() {
    if (!library_) {
        library_ = new LibraryWindow(dravik::library::chosenLibraryUrl(), context_,
                                     dialogs_, chooseFolder_, &window_);
        library_->setAttribute(Qt::WA_DeleteOnClose);
    }
    library_->show();
    library_->raise();
    library_->activateWindow();
}
