#include "app/main_window/loader_list_box.h"

#include "app/shared/item_delegates.h"
#include "app/shared/native_path.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

namespace {

constexpr int kLoaderListHeight = 73;
constexpr int kLoaderLineHeight = 13;

} // namespace

LoaderListBox::LoaderListBox(QAction* checkLdr, QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("FileListBox1"));
    setFixedHeight(kLoaderListHeight);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new LineDelegate(kLoaderLineHeight, this));

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(checkLdr);

    viewport()->installEventFilter(this);
    installEventFilter(this);
}

void LoaderListBox::showFiles(const std::vector<std::string>& names) {
    const QSignalBlocker blocker(this);
    clear();
    // Added at once: one by one, each would be a change of the list's model.
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names)
        shown.append(displayName(name));
    addItems(shown);
    setCurrentRow(-1);
    clearSelection();
}

bool LoaderListBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == viewport() && clicked(*event))
        return true;
    if (watched == this && event->type() == QEvent::ContextMenu) {
        menuAsked(*static_cast<QContextMenuEvent*>(event));
        return true;
    }
    return false;
}

bool LoaderListBox::clicked(const QEvent& event) {
    // A right-click opens the menu without changing the selection.
    if (event.type() == QEvent::MouseButtonPress || event.type() == QEvent::MouseButtonRelease ||
        event.type() == QEvent::MouseButtonDblClick) {
        const auto& mouse = static_cast<const QMouseEvent&>(event);
        if (mouse.button() != Qt::RightButton)
            return false;
        if (event.type() == QEvent::MouseButtonPress)
            PopupMenu1->popup(mouse.globalPosition().toPoint());
        return true;
    }
    return event.type() == QEvent::ContextMenu;
}

void LoaderListBox::menuAsked(const QContextMenuEvent& menu) {
    // The mouse's menu opens on the press; the keyboard's opens here.
    if (menu.reason() == QContextMenuEvent::Keyboard)
        PopupMenu1->popup(menu.globalPos());
}
