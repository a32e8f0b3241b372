#include "app/compare/compare_with.h"

#include "app/compare/compare_window.h"
#include "app/shared/dialogs.h"
#include "app/shared/native_path.h"
#include "platform/file_system.h"
#include "workspace/command_rules.h"

#include <QAction>
#include <QMenu>

CompareWith::CompareWith(QMenu& menu, const dravik::ResultList& rows, QWidget& window,
                         Dialogs& dialogs, const dravik::Context& context)
    : QObject(&window), rows_(rows), window_(window), dialogs_(dialogs), context_(context) {
    QAction* action =
        menu.addAction(QStringLiteral("Compare with\u2026"), this, &CompareWith::compareWith);
    action->setObjectName(QStringLiteral("CompareWith"));
    // Anywhere in the main window, as the toolbar's commands.
    action->setShortcut(QKeySequence(QStringLiteral("Ctrl+D")));
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);
}

CompareWindow* CompareWith::window() const {
    return compare_;
}

std::string folderToCompare(const dravik::Context& context) {
    // Before the first folder command the working folder is the one the
    // loader list shows, the current directory.
    return context.workingFolder.empty() ? dravik::currentDirectory() : context.workingFolder;
}

void CompareWith::compareWith() {
    const std::string folder = folderToCompare(context_);
    if (!dravik::isFolder(folder)) {
        // The computer level, or a folder deleted meanwhile.
        const QString why = folder == dravik::kComputerLevel
                                ? QStringLiteral("the computer level holds no drive files")
                                : nativeToQString(folder) + QStringLiteral(" is no longer there");
        dialogs_.showMessage(
            QStringLiteral("There is no working folder to compare: %1. Choose a drive folder "
                           "first.")
                .arg(why));
        return;
    }
    // The twin of a drive folder usually stands beside it.
    const std::string above = dravik::folderAbove(folder);
    const QString other = dialogs_.chooseFolder(
        QStringLiteral("Compare with"), nativeToQString(dravik::isFolder(above) ? above : folder));
    if (other.isEmpty())
        return;
    const QPointer<CompareWindow> previous = compare_;
    compare_ =
        new CompareWindow(dravik::blockShown(rows_.rows()).value_or(dravik::CompareBlock::Pasport),
                          folder, qStringToNative(other), context_.startFolder, dialogs_, &window_);
    compare_->setAttribute(Qt::WA_DeleteOnClose);
    // A second window stands offset from the first, not on top of it.
    if (previous && previous->isVisible())
        compare_->move(previous->pos() + QPoint(32, 32));
    compare_->show();
    compare_->raise();
    compare_->activateWindow();
}
