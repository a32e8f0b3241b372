#include "app/main_window/folder_browser.h"

#include "app/main_window/computer_level.h"
#include "app/main_window/folder_list_model.h"
#include "app/shared/cp1251_text.h"
#include "app/shared/file_icons.h"
#include "app/shared/image_list.h"
#include "app/shared/item_delegates.h"
#include "app/shared/native_path.h"
#include "workspace/command_rules.h"
#include "workspace/path_selector.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QStandardItemModel>
#include <QToolButton>
#include <QVBoxLayout>

FolderBrowser::FolderBrowser(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel1"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    auto* panelLayout = new QVBoxLayout(this);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    createPathSelector();
    createFolderList();
    computerModel_ = new QStandardItemModel(this);
    folderModel_ = new FolderListModel(this);
    panelLayout->addWidget(Panel2);
    panelLayout->addWidget(ShellListView1, 1);
    connectControls();
}

void FolderBrowser::addBelow(QWidget* widget) {
    layout()->addWidget(widget);
}

void FolderBrowser::createPathSelector() {
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(32);
    auto* selectorRow = new QHBoxLayout(Panel2);
    // The selector sits at 5,3 and stretches; the up button keeps its
    // distance of 8 to the right edge, 14 from the selector, one pixel lower.
    selectorRow->setContentsMargins(5, 3, 8, 0);
    selectorRow->setSpacing(14);

    ShellComboBox1 = new QComboBox(Panel2);
    ShellComboBox1->setObjectName(QStringLiteral("ShellComboBox1"));
    ShellComboBox1->setEditable(true);
    ShellComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ShellComboBox1->setMaxVisibleItems(8);
    ShellComboBox1->setFixedHeight(22);
    ShellComboBox1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    ShellComboBox1->setItemDelegate(new IndentDelegate(ShellComboBox1));
    ShellComboBox1->setIconSize(QSize(16, 16));
    selectorRow->addWidget(ShellComboBox1, 1, Qt::AlignTop);

    SpeedButton1 = new QToolButton(Panel2);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setFixedSize(23, 22);
    SpeedButton1->setIcon(QIcon(upFolderImage()));
    SpeedButton1->setIconSize(QSize(21, 21));
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    auto* upColumn = new QVBoxLayout;
    upColumn->setContentsMargins(0, 1, 0, 0);
    upColumn->addWidget(SpeedButton1);
    upColumn->addStretch();
    selectorRow->addLayout(upColumn);
}

void FolderBrowser::createFolderList() {
    ShellListView1 = new QListView(this);
    ShellListView1->setObjectName(QStringLiteral("ShellListView1"));
    ShellListView1->setViewMode(QListView::ListMode);
    ShellListView1->setFlow(QListView::TopToBottom);
    ShellListView1->setWrapping(true);
    ShellListView1->setResizeMode(QListView::Adjust);
    ShellListView1->setUniformItemSizes(true);
    ShellListView1->setIconSize(QSize(16, 16));
    ShellListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ShellListView1->setEditTriggers(QAbstractItemView::EditKeyPressed |
                                    QAbstractItemView::SelectedClicked);
    ShellListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    ShellListView1->setItemDelegate(new RenameDelegate(
        [this](const QString& name) {
            emit errorReported(toCp1251(QStringLiteral("Rename to %1 failed").arg(name)));
        },
        ShellListView1));
    // The selection stays visible when the list loses the focus.
    QPalette palette = ShellListView1->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    ShellListView1->setPalette(palette);
}

void FolderBrowser::connectControls() {
    // The folder list takes some keys and clicks itself.
    ShellListView1->installEventFilter(this);
    ShellListView1->viewport()->installEventFilter(this);
    connect(ShellComboBox1, &QComboBox::activated, this, &FolderBrowser::pickPathSelectorEntry);
    connect(ShellComboBox1->lineEdit(), &QLineEdit::textEdited, this, &FolderBrowser::folderChosen);
    connect(ShellListView1, &QListView::doubleClicked, this, &FolderBrowser::openAndChoose);
    connect(ShellListView1, &QListView::customContextMenuRequested, this,
            &FolderBrowser::showFolderListMenu);
    connect(SpeedButton1, &QToolButton::clicked, this, &FolderBrowser::goUp);
    // A folder that can't be read is said as the commands say it.
    connect(folderModel_, &FolderListModel::folderUnreadable, this, &FolderBrowser::errorReported);
}

// ---------------------------------------------------------------------------
// Moving

std::string FolderBrowser::selectedFolder() const {
    const int index = ShellComboBox1->currentIndex();
    return index < 0 ? std::string() : entryPath(ShellComboBox1->itemData(index, kPathRole));
}

void FolderBrowser::pickPathSelectorEntry(int index) {
    // Choosing a folder first, then the list follows.
    emit folderChosen();
    browseTo(entryPath(ShellComboBox1->itemData(index, kPathRole)));
}

void FolderBrowser::chooseFolder(const std::string& folder) {
    browseTo(folder);
    const std::string picked = selectedFolder();
    emit folderChosen();
    // The list already shows the entry picked, unless no entry holds folder.
    if (picked != shownFolder_)
        browseTo(picked);
}

void FolderBrowser::goUp() {
    browseTo(dravik::folderAbove(shownFolder_));
    emit folderChosen();
}

void FolderBrowser::refresh() {
    const QModelIndex current = ShellListView1->currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    ShellListView1->clearSelection();
    refreshFolderList();
    if (row < 0)
        return;
    auto reselect = [this, row] {
        const QModelIndex item =
            ShellListView1->model()->index(row, 0, ShellListView1->rootIndex());
        if (item.isValid())
            ShellListView1->setCurrentIndex(item);
    };
    if (ShellListView1->model() == folderModel_ && folderModel_->rowCount() == 0)
        connect(folderModel_, &FolderListModel::folderLoaded, this, reselect,
                Qt::SingleShotConnection);
    else
        reselect();
}

void FolderBrowser::openAndChoose(const QModelIndex& index) {
    if (index.isValid())
        openListItem(index);
    emit folderChosen();
}

void FolderBrowser::browseTo(const std::string& folder) {
    const QScopedValueRollback<bool> browsing(browsing_, true);
    shownFolder_ = folder;
    if (folder == dravik::kComputerLevel) {
        showComputerLevel();
    } else {
        if (ShellListView1->model() != folderModel_)
            setListModel(folderModel_);
        folderModel_->setFolder(folder);
    }
    ShellListView1->setCurrentIndex({});
    ShellListView1->clearSelection();
    rebuildPathSelector();
}

void FolderBrowser::refreshFolderList() {
    if (shownFolder_ == dravik::kComputerLevel) {
        browseTo(shownFolder_);
        return;
    }
    const QScopedValueRollback<bool> browsing(browsing_, true);
    folderModel_->refresh();
}

// ---------------------------------------------------------------------------
// What the list and the selector show

void FolderBrowser::setListModel(QAbstractItemModel* model) {
    QItemSelectionModel* old = ShellListView1->selectionModel();
    ShellListView1->setModel(model);
    if (old && old != ShellListView1->selectionModel())
        old->deleteLater();
    // One run for the changes of one event: a click changes the current item
    // and the selection, and a failure would otherwise be reported twice.
    auto follow = [this] {
        if (browsing_ || followPending_)
            return;
        followPending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                followPending_ = false;
                emit selectionFollowed();
            },
            Qt::QueuedConnection);
    };
    connect(ShellListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, follow);
    connect(ShellListView1->selectionModel(), &QItemSelectionModel::currentChanged, this, follow);
}

void FolderBrowser::showComputerLevel() {
    computerModel_->clear();
    for (const ComputerEntry& entry : computerLevelEntries()) {
        auto* item = new QStandardItem(entry.icon, entry.text);
        item->setData(QByteArray::fromStdString(entry.path), kPathRole);
        item->setEditable(false);
        computerModel_->appendRow(item);
    }
    if (ShellListView1->model() != computerModel_)
        setListModel(computerModel_);
    ShellListView1->setRootIndex({});
}

void FolderBrowser::rebuildPathSelector() {
    std::vector<std::string> tops;
    for (int row = 0; row < computerModel_->rowCount(); ++row)
        tops.push_back(entryPath(computerModel_->item(row)->data(kPathRole)));
    const dravik::PathSelector selector =
        dravik::pathSelector(tops, shownFolder_, QDir::separator().toLatin1());

    const QSignalBlocker blocker(ShellComboBox1);
    ShellComboBox1->clear();
    int top = 0;
    for (const dravik::PathEntry& entry : selector.entries) {
        QIcon icon = kindIcon(QAbstractFileIconProvider::Folder);
        QString text = displayName(entry.path);
        if (entry.kind == dravik::PathEntry::Kind::Computer) {
            icon = kindIcon(QAbstractFileIconProvider::Computer);
            text = QStringLiteral("Computer");
        } else if (entry.kind == dravik::PathEntry::Kind::Top) {
            icon = computerModel_->item(top++)->icon();
        }
        ShellComboBox1->addItem(icon, text, QByteArray::fromStdString(entry.path));
        ShellComboBox1->setItemData(ShellComboBox1->count() - 1, entry.depth, kDepthRole);
    }
    ShellComboBox1->setCurrentIndex(static_cast<int>(selector.selected));
}

// ---------------------------------------------------------------------------
// The items of the list

std::string FolderBrowser::listItemPath(const QModelIndex& index) const {
    if (ShellListView1->model() == folderModel_)
        return folderModel_->path(index);
    return entryPath(index.data(kPathRole));
}

bool FolderBrowser::listItemIsFolder(const QModelIndex& index) const {
    if (ShellListView1->model() == folderModel_)
        return folderModel_->isFolder(index);
    return true;
}

void FolderBrowser::openListItem(const QModelIndex& index) {
    const std::string path = listItemPath(index);
    if (listItemIsFolder(index))
        browseTo(path);
    else
        QDesktopServices::openUrl(fileUrl(path));
}

void FolderBrowser::renameListItem(const QModelIndex& index) {
    ShellListView1->setCurrentIndex(index);
    ShellListView1->edit(index);
}

void FolderBrowser::showFolderListMenu(QPoint pos) {
    const QModelIndex index = ShellListView1->indexAt(pos);
    if (!index.isValid())
        return;
    QMenu menu(ShellListView1);
    menu.addAction(QStringLiteral("Open"), this, [this, index] { openListItem(index); });
    QAction* rename =
        menu.addAction(QStringLiteral("Rename"), this, [this, index] { renameListItem(index); });
    rename->setEnabled((ShellListView1->model()->flags(index) & Qt::ItemIsEditable) != 0);
    menu.exec(ShellListView1->viewport()->mapToGlobal(pos));
}

bool FolderBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ShellListView1->viewport() && event->type() == QEvent::MouseButtonDblClick)
        folderListDoubleClicked(*static_cast<QMouseEvent*>(event));
    else if (watched == ShellListView1 && event->type() == QEvent::KeyPress &&
             QApplication::focusWidget() == ShellListView1 &&
             folderListKeyPressed(*static_cast<QKeyEvent*>(event)))
        return true;
    return QFrame::eventFilter(watched, event);
}

void FolderBrowser::folderListDoubleClicked(const QMouseEvent& mouse) {
    // The list signals a double-click on an item only; one on an empty place
    // chooses the folder shown all the same.
    if (mouse.button() == Qt::LeftButton &&
        !ShellListView1->indexAt(mouse.position().toPoint()).isValid())
        openAndChoose({});
}

bool FolderBrowser::folderListKeyPressed(const QKeyEvent& key) {
    // Keyboard navigation moves the list and the selector, runs no handler.
    const QScopedValueRollback<bool> browsing(browsing_, true);
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ShellListView1->currentIndex().isValid())
            openListItem(ShellListView1->currentIndex());
        return true;
    case Qt::Key_Backspace:
        browseTo(dravik::folderAbove(shownFolder_));
        return true;
    case Qt::Key_F5:
        refreshFolderList();
        return true;
    default:
        return false;
    }
}
