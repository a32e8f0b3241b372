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

void CompareWith::compareWith() {
    const std::string folder = context_.workingFolder;
    if (!dravik::isFolder(folder))
        return;
    // The twin of a drive folder usually stands beside it.
    const std::string above = dravik::folderAbove(folder);
    const QString other = dialogs_.chooseFolder(
        QStringLiteral("Compare with"), nativeToQString(dravik::isFolder(above) ? above : folder));
    if (other.isEmpty())
        return;
    compare_ = new CompareWindow(commandShown(rows_.rows()), folder, qStringToNative(other),
                                 context_.startFolder, &window_);
    compare_->setAttribute(Qt::WA_DeleteOnClose);
    compare_->show();
    compare_->raise();
    compare_->activateWindow();
}
