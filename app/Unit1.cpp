#include "Unit1.h"

#include "Unit2.h"
#include "file_icons.h"
#include "folder_list_model.h"
#include "grid_actions.h"
#include "image_list.h"
#include "loaders/loader.h"
#include "modules/pasport.h"
#include "modules/rom_check.h"
#include "modules/specification.h"
#include "native_path.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "result_table_model.h"
#include "results/report.h"
#include "settings/default_settings.h"
#include "window_title.h"
#include "workspace/command_rules.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QStandardItemModel>
#include <QStorageInfo>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>

#include <exception>

namespace {

constexpr int kToolBarHeight = 33;
constexpr int kToolButtonWidth = 28;
constexpr int kToolButtonHeight = 25;
constexpr int kSeparatorWidth = 8;
constexpr int kToolButtonTop = 2;
constexpr int kGridWidth = 312;
constexpr int kNameColumnWidth = 139;
constexpr int kLoaderListHeight = 73;
constexpr int kLoaderLineHeight = 13;
constexpr int kToolTipShowMs = 2500;
/// The property of a toolbar button that holds its image's index.
constexpr const char* kImageProperty = "imageIndex";

/// The data roles of the path selector's entries: the folder's native path
/// (bytes, as a folder's name need not be UTF-8), and how deep the entry sits
/// in the drop-down's tree.
constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;

// The native path that an entry of the path selector or the computer level holds.
std::string entryPath(const QVariant& path) {
    return path.toByteArray().toStdString();
}

// Indents the entries of the path selector's drop-down by their depth, so
// the folders on the way to the one shown read as a tree.
class IndentDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented = option;
        indented.rect.setLeft(option.rect.left() + 10 * index.data(kDepthRole).toInt());
        QStyledItemDelegate::paint(painter, indented, index);
    }
};

// Every line of the loader list is as high as its one-line text box was.
class LineDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kLoaderLineHeight};
    }
};

// The in-place rename of the folder content list: a name that the file
// system refuses is reported, and the item keeps its name.
class RenameDelegate : public QStyledItemDelegate {
  public:
    RenameDelegate(std::function<void(const QString&)> refused, QObject* parent)
        : QStyledItemDelegate(parent), refused_(std::move(refused)) {}

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        const auto* line = qobject_cast<QLineEdit*>(editor);
        if (!line || !(model->flags(index) & Qt::ItemIsEditable))
            return;
        const QString newName = line->text();
        if (newName == index.data(Qt::EditRole).toString())
            return;
        if (!model->setData(index, newName, Qt::EditRole))
            refused_(newName);
    }

  private:
    std::function<void(const QString&)> refused_;
};

} // namespace

TForm1::TForm1(Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs),
      ui_(dialogs), context_{{},
                             {},
                             results_,
                             ui_,
                             [this](const std::string& title) {
                                 setWindowTitle(fromCp1251(title, true));
                             }} {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString());
    setWindowIcon(applicationIcon());
    // Tooltips show whether or not the window is the active one.
    setAttribute(Qt::WA_AlwaysShowToolTips);

    auto* client = new QWidget(this);
    auto* clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->setSpacing(0);
    setCentralWidget(client);

    createToolBar();
    createBrowser();
    createLoaderList();
    createGrid();

    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(Panel1, 1);
    body->addWidget(ValueListEditor1);
    clientLayout->addWidget(ToolBar1);
    clientLayout->addLayout(body, 1);

    connectHandlers();
    createKeyboardAccess();
    // The path selector and the folder content list start at the computer level.
    browseTo(dravik::kComputerLevel);

    resize(592, 452);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    FormCreate();
}

TForm1::~TForm1() = default;

// ---------------------------------------------------------------------------
// Building the window

QToolButton* TForm1::addToolButton(const char* name, int x, int image, const char* toolTip) {
    auto* button = new QToolButton(ToolBar1);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(x, kToolButtonTop, kToolButtonWidth, kToolButtonHeight);
    button->setIcon(QIcon(imageListImage(image)));
    button->setProperty(kImageProperty, image);
    button->setIconSize(QSize(16, 16));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    if (toolTip) {
        button->setToolTip(QString::fromLatin1(toolTip));
        button->installEventFilter(this);
    }
    return button;
}

QWidget* TForm1::addSeparator(const char* name, int x) {
    auto* separator = new QWidget(ToolBar1);
    separator->setObjectName(QString::fromLatin1(name));
    separator->setGeometry(x, kToolButtonTop, kSeparatorWidth, kToolButtonHeight);
    return separator;
}

void TForm1::createToolBar() {
    // The buttons are placed at fixed places, as the toolbar's own layout
    // would shift them by its handle, margins and spacing.
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setFixedHeight(kToolBarHeight);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);

    Button6 = addToolButton("Button6", 0, 0, "Pasport");
    Button1 = addToolButton("Button1", 28, 1, "Check ROM");
    Button3 = addToolButton("Button3", 56, 3, "Specification");
    ToolButton1 = addSeparator("ToolButton1", 84);
    Button2 = addToolButton("Button2", 92, 1, nullptr);
    Button4 = addToolButton("Button4", 120, 4, "Rename LDR");
    ToolButton2 = addSeparator("ToolButton2", 148);
    Button8 = addToolButton("Button8", 156, 5, "Clear");
    ToolButton6 = addToolButton("ToolButton6", 184, 6, "Edit ini");
    ToolButton3 = addSeparator("ToolButton3", 212);
    Button5 = addToolButton("Button5", 220, 2, "Save All");
    ToolButton4 = addToolButton("ToolButton4", 248, 7, "Dravik for Windwows 2.0");
    ToolButton5 = addSeparator("ToolButton5", 276);
    ToolButton7 = addToolButton("ToolButton7", 284, 9, nullptr);

    Panel3 = new QLabel(QStringLiteral("Dravik for Windows ver. 2.1"), ToolBar1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel3->setLineWidth(1);
    Panel3->setAlignment(Qt::AlignCenter);
    Panel3->setGeometry(312, kToolButtonTop, 193, kToolButtonHeight);

    // One action for the toolbar button and the loader list's menu item; it
    // stays enabled, only Button2 follows the enabling rule.
    ACheckLDR = new QAction(QIcon(imageListImage(1)), QStringLiteral("CheckLDR"), this);
    ACheckLDR->setObjectName(QStringLiteral("ACheckLDR"));
    ACheckLDR->setIconVisibleInMenu(false);
}

void TForm1::createBrowser() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);

    Panel2 = new QWidget(Panel1);
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

    ShellListView1 = new QListView(Panel1);
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
            showErrorReport(toCp1251(QStringLiteral("Rename to %1 failed").arg(name)));
        },
        ShellListView1));
    // The selection stays visible when the list loses the focus.
    QPalette palette = ShellListView1->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    ShellListView1->setPalette(palette);

    computerModel_ = new QStandardItemModel(this);
    folderModel_ = new FolderListModel(this);

    panelLayout->addWidget(Panel2);
    panelLayout->addWidget(ShellListView1, 1);
}

void TForm1::createLoaderList() {
    FileListBox1 = new QListWidget(Panel1);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setFixedHeight(kLoaderListHeight);
    FileListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    FileListBox1->setUniformItemSizes(true);
    FileListBox1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FileListBox1->setItemDelegate(new LineDelegate(FileListBox1));

    PopupMenu1 = new QMenu(FileListBox1);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(ACheckLDR);

    Panel1->layout()->addWidget(FileListBox1);
}

void TForm1::createGrid() {
    ValueListEditor1 = new QTableView(this);
    ValueListEditor1->setObjectName(QStringLiteral("ValueListEditor1"));
    ValueListEditor1->setFixedWidth(kGridWidth);
    resultModel_ = new ResultTableModel(results_, ValueListEditor1);
    ValueListEditor1->setModel(resultModel_);
    ValueListEditor1->verticalHeader()->hide();
    ValueListEditor1->verticalHeader()->setDefaultSectionSize(18);
    ValueListEditor1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ValueListEditor1->horizontalHeader()->setStretchLastSection(true);
    ValueListEditor1->horizontalHeader()->setHighlightSections(false);
    ValueListEditor1->setColumnWidth(0, kNameColumnWidth);
    // Whole rows are selected, several with Shift and Ctrl, to be copied out;
    // a Value is edited in its cell as before.
    ValueListEditor1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ValueListEditor1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ValueListEditor1->setEditTriggers(QAbstractItemView::DoubleClicked |
                                      QAbstractItemView::EditKeyPressed |
                                      QAbstractItemView::AnyKeyPressed);
    ValueListEditor1->setWordWrap(false);
    gridActions_ = new GridActions(*ValueListEditor1, results_, *this, dialogs_, context_);
}

void TForm1::createKeyboardAccess() {
    // Shortcuts that no list, the selector's text field or the grid takes for
    // itself; each clicks its button, so a greyed command stays off.
    const struct {
        QToolButton* button;
        const char* keys;
        const char* name;
        const char* description;
    } commands[] = {
        {Button6, "Ctrl+P", "Pasport", "Show the passport of the working folder"},
        {Button1, "Ctrl+R", "Check ROM", "Check the ROM images of the working folder"},
        {Button3, "Ctrl+T", "Specification", "Show the specification table of the working folder"},
        {Button2, "Ctrl+L", "CheckLDR", "Check the loader selected in the loader list"},
        {Button4, "Ctrl+Shift+L", "Rename LDR",
         "Rename the selected loader after its checksum and firmware code"},
        {Button8, "Ctrl+Shift+Del", "Clear", "Remove every row of the grid"},
        {ToolButton6, "Ctrl+I", "Edit ini", "Edit the settings file Dravik.ini"},
        {Button5, "Ctrl+S", "Save All", "Write the rows to $Dravik.txt in the loader list's folder"},
        {ToolButton4, "F1", "About", "Show the product's web address"},
        {ToolButton7, "Ctrl+F5", "Refresh", "Read the folder content list again"},
    };
    for (const auto& command : commands) {
        const QKeySequence keys(QString::fromLatin1(command.keys));
        auto* shortcut = new QAction(this);
        shortcut->setObjectName(command.button->objectName() + QStringLiteral("Shortcut"));
        shortcut->setShortcut(keys);
        shortcut->setShortcutContext(Qt::WindowShortcut);
        addAction(shortcut);
        connect(shortcut, &QAction::triggered, command.button, &QToolButton::click);
        command.button->setAccessibleName(QString::fromLatin1(command.name));
        command.button->setAccessibleDescription(QStringLiteral("%1 (%2)").arg(
            QString::fromLatin1(command.description), keys.toString(QKeySequence::NativeText)));
    }
    const struct {
        QWidget* widget;
        const char* name;
        const char* description;
    } controls[] = {
        {SpeedButton1, "Up one level", "Go to the folder above and make it the working folder"},
        {ShellComboBox1, "Folder", "The folder shown; picking one makes it the working folder"},
        {ShellListView1, "Folder content",
         "The folders and files of the folder shown; a double-click makes it the working folder"},
        {FileListBox1, "Loader files",
         "The .ldr files of the working folder; CheckLDR and Rename LDR act on the selected one"},
        {ValueListEditor1, "Rows",
         "The Name and Value rows of the commands; its menu copies rows and shows their bytes"},
    };
    for (const auto& control : controls) {
        control.widget->setAccessibleName(QString::fromLatin1(control.name));
        control.widget->setAccessibleDescription(QString::fromLatin1(control.description));
    }
}

void TForm1::connectHandlers() {
    // Painting any cell of the grid, title cells included, applies the result
    // commands' rule; the loader list and the folder list take some keys and
    // clicks themselves.
    ValueListEditor1->viewport()->installEventFilter(this);
    ValueListEditor1->horizontalHeader()->viewport()->installEventFilter(this);
    FileListBox1->viewport()->installEventFilter(this);
    FileListBox1->installEventFilter(this);
    ShellListView1->installEventFilter(this);
    ShellListView1->viewport()->installEventFilter(this);

    connect(Button6, &QToolButton::clicked, this, &TForm1::Button6Click);
    connect(Button1, &QToolButton::clicked, this, &TForm1::Button1Click);
    connect(Button3, &QToolButton::clicked, this, &TForm1::Button3Click);
    connect(Button2, &QToolButton::clicked, ACheckLDR, &QAction::trigger);
    connect(ACheckLDR, &QAction::triggered, this, &TForm1::ACheckLDRExecute);
    connect(Button4, &QToolButton::clicked, this, &TForm1::Button4Click);
    connect(Button8, &QToolButton::clicked, this, &TForm1::Button8Click);
    connect(ToolButton6, &QToolButton::clicked, this, &TForm1::Button7Click);
    connect(Button5, &QToolButton::clicked, this, &TForm1::Button5Click);
    connect(ToolButton4, &QToolButton::clicked, this, &TForm1::Label2Click);
    connect(ToolButton7, &QToolButton::clicked, this, &TForm1::ToolButton7Click);

    // The user picks an entry: Choosing a folder first, then the list follows.
    connect(ShellComboBox1, &QComboBox::activated, this, [this](int index) {
        ShellComboBox1Change();
        browseTo(entryPath(ShellComboBox1->itemData(index, kPathRole)));
    });
    connect(ShellComboBox1->lineEdit(), &QLineEdit::textEdited, this,
            &TForm1::ShellComboBox1Change);
    connect(ShellListView1, &QListView::doubleClicked, this, &TForm1::ShellListView1DblClick);
    connect(ShellListView1, &QListView::customContextMenuRequested, this, [this](QPoint pos) {
        const QModelIndex index = ShellListView1->indexAt(pos);
        if (!index.isValid())
            return;
        QMenu menu(ShellListView1);
        menu.addAction(QStringLiteral("Open"), this, [this, index] { openListItem(index); });
        QAction* rename = menu.addAction(QStringLiteral("Rename"), this,
                                         [this, index] { renameListItem(index); });
        rename->setEnabled((ShellListView1->model()->flags(index) & Qt::ItemIsEditable) != 0);
        menu.exec(ShellListView1->viewport()->mapToGlobal(pos));
    });
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);

    // Only a change that the user makes runs FileListBox1Change; the list's
    // own re-read runs it explicitly.
    connect(FileListBox1, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> chosen = FileListBox1->selectedItems();
        loaderList_.select(chosen.isEmpty()
                               ? std::nullopt
                               : std::optional<std::size_t>(FileListBox1->row(chosen.front())));
        FileListBox1Change();
    });
}

// ---------------------------------------------------------------------------
// Program start

void TForm1::FormCreate() {
    guard([this] { context_.startFolder = dravik::currentDirectory(); });
}

void TForm1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange)
        showExactWindowTitle(*this);
    // The images follow the palette: on a dark one their black strokes get a light edge.
    if (event->type() == QEvent::ApplicationPaletteChange && ToolBar1) {
        for (QToolButton* button : ToolBar1->findChildren<QToolButton*>()) {
            const QVariant image = button->property(kImageProperty);
            if (image.isValid())
                button->setIcon(QIcon(imageListImage(image.toInt())));
        }
        SpeedButton1->setIcon(QIcon(upFolderImage()));
    }
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    showExactWindowTitle(*this);
    if (shown_)
        return;
    shown_ = true;
    // The loader list reads its folder (the start folder) when the window's
    // controls come into being, then FormShow moves it.
    guard([this] { rereadLoaderList(); });
    FormShow();
}

void TForm1::FormShow() {
    // "c:" is the folder the system keeps current, which on Linux is the
    // process's current directory: the list stays on the start folder.
    guard([this] { moveLoaderList("c:"); });
}

// ---------------------------------------------------------------------------
// Commands

template <class Work> bool TForm1::guard(Work&& work) {
    try {
        work();
        return true;
    } catch (const dravik::Error& error) {
        showErrorReport(error.message());
    } catch (const std::exception& error) {
        showErrorReport(error.what());
    }
    return false;
}

void TForm1::showErrorReport(const std::string& message) {
    dialogs_.showError(fromCp1251(dravik::errorReportText(message)));
}

void TForm1::Button6Click() {
    guard([this] { dravik::readPasport(context_); });
}

void TForm1::Button1Click() {
    guard([this] { dravik::checkRom(context_); });
}

void TForm1::Button3Click() {
    guard([this] { dravik::readSpecification(context_); });
}

void TForm1::ACheckLDRExecute() {
    guard([this] { dravik::checkLdr(context_, loaderList_.selectedPath()); });
}

void TForm1::Button4Click() {
    guard([this] {
        const std::string path = loaderList_.selectedPath();
        const bool existed = !path.empty() && dravik::isPlainFile(path);
        try {
            // A refused rename says why only on the command line; the window
            // shows nothing for it.
            dravik::renameLdr(context_, path);
        } catch (...) {
            // The list shows the loader as it is now, also when reading failed;
            // the error then skips the refresh of the folder content list.
            if (existed)
                rereadLoaderList();
            throw;
        }
        if (existed)
            rereadLoaderList();
        ToolButton7Click();
    });
}

void TForm1::Button8Click() {
    guard([this] { results_.clear(); });
}

void TForm1::Button7Click() {
    guard([this] {
        if (Form2)
            editSettings(*Form2, context_.startFolder, dialogs_);
    });
}

void TForm1::Button5Click() {
    guard([this] { dravik::saveAll(results_, ui_); });
}

void TForm1::Label2Click() {
    guard([this] {
        dialogs_.showMessage(QString::fromLatin1(
            dravik::kWebAddress.data(), static_cast<qsizetype>(dravik::kWebAddress.size())));
    });
}

void TForm1::ToolButton7Click() {
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

// ---------------------------------------------------------------------------
// Browsing and command enabling

void TForm1::ShellComboBox1Change() {
    const int index = ShellComboBox1->currentIndex();
    context_.workingFolder =
        index < 0 ? std::string() : entryPath(ShellComboBox1->itemData(index, kPathRole));
    guard([this] { applyModuleCommandRule(); });
    try {
        moveLoaderList(context_.workingFolder);
    } catch (const std::exception&) {
        // A folder that can't be entered leaves the list where it is, silently.
    }
}

void TForm1::chooseFolder(const std::string& folder) {
    browseTo(folder);
    emit ShellComboBox1->activated(ShellComboBox1->currentIndex());
}

void TForm1::ShellListView1DblClick(const QModelIndex& index) {
    if (index.isValid())
        openListItem(index);
    ShellComboBox1Change();
}

void TForm1::ShellListView1Change() {
    guard([this] {
        context_.workingFolder = dravik::currentDirectory();
        applyModuleCommandRule();
    });
}

void TForm1::SpeedButton1Click() {
    browseTo(dravik::folderAbove(shownFolder_));
    refreshFolderList();
    ShellComboBox1Change();
}

void TForm1::FileListBox1Change() {
    Button2->setEnabled(!loaderList_.files().empty());
    Button4->setEnabled(Button2->isEnabled());
}

void TForm1::ValueListEditor1DrawCell() {
    const bool hasRows = results_.count() > 0;
    Button5->setEnabled(hasRows);
    Button8->setEnabled(hasRows);
}

void TForm1::applyModuleCommandRule() {
    const bool enabled = dravik::moduleCommandsEnabled(context_.workingFolder);
    Button6->setEnabled(enabled);
    Button3->setEnabled(enabled);
    Button1->setEnabled(enabled);
}

void TForm1::moveLoaderList(const std::string& text) {
    if (loaderList_.moveTo(text)) {
        showLoaderFiles();
        FileListBox1Change();
    }
}

void TForm1::rereadLoaderList() {
    try {
        loaderList_.reread();
    } catch (...) {
        showLoaderFiles();
        throw;
    }
    showLoaderFiles();
    FileListBox1Change();
}

void TForm1::showLoaderFiles() {
    const QSignalBlocker blocker(FileListBox1);
    FileListBox1->clear();
    // Added at once: one by one, each would be a change of the list's model.
    QStringList names;
    names.reserve(static_cast<qsizetype>(loaderList_.files().size()));
    for (const std::string& name : loaderList_.files())
        names.append(displayName(name));
    FileListBox1->addItems(names);
    FileListBox1->setCurrentRow(-1);
    FileListBox1->clearSelection();
}

// ---------------------------------------------------------------------------
// The folder browser

void TForm1::setListModel(QAbstractItemModel* model) {
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
                ShellListView1Change();
            },
            Qt::QueuedConnection);
    };
    connect(ShellListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, follow);
    connect(ShellListView1->selectionModel(), &QItemSelectionModel::currentChanged, this, follow);
}

void TForm1::browseTo(const std::string& folder) {
    const bool wasBrowsing = browsing_;
    browsing_ = true;
    shownFolder_ = folder;
    if (folder == dravik::kComputerLevel) {
        computerModel_->clear();
        auto addEntry = [this](const QString& path, const QString& text, const QIcon& icon) {
            auto* item = new QStandardItem(icon, text);
            item->setData(QByteArray::fromStdString(qStringToNative(path)), kPathRole);
            item->setEditable(false);
            computerModel_->appendRow(item);
        };
#ifdef Q_OS_WIN
        // The drives, as the computer level of Windows lists them.
        for (const QFileInfo& drive : QDir::drives())
            addEntry(drive.absolutePath(), QDir::toNativeSeparators(drive.absolutePath()),
                     kindIcon(QAbstractFileIconProvider::Drive));
#else
        addEntry(QStringLiteral("/"), QStringLiteral("/"),
                 kindIcon(QAbstractFileIconProvider::Drive));
        addEntry(QDir::homePath(), QDir::homePath(), kindIcon(QAbstractFileIconProvider::Folder));
        for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
            if (!volume.isValid() || !volume.isReady() ||
                volume.rootPath() == QStringLiteral("/") || !volume.device().startsWith("/dev/"))
                continue;
            addEntry(volume.rootPath(), volume.rootPath(),
                     kindIcon(QAbstractFileIconProvider::Drive));
        }
#endif
        if (ShellListView1->model() != computerModel_)
            setListModel(computerModel_);
        ShellListView1->setRootIndex({});
    } else {
        if (ShellListView1->model() != folderModel_)
            setListModel(folderModel_);
        folderModel_->setFolder(folder);
    }
    ShellListView1->setCurrentIndex({});
    ShellListView1->clearSelection();
    rebuildPathSelector();
    browsing_ = wasBrowsing;
}

void TForm1::refreshFolderList() {
    if (shownFolder_ == dravik::kComputerLevel) {
        browseTo(shownFolder_);
        return;
    }
    const bool wasBrowsing = browsing_;
    browsing_ = true;
    folderModel_->refresh();
    browsing_ = wasBrowsing;
}

void TForm1::rebuildPathSelector() {
    struct Entry {
        QByteArray path;
        QString text;
        QIcon icon;
        int depth;
    };
    std::vector<Entry> entries;
    entries.push_back({QByteArray(dravik::kComputerLevel), QStringLiteral("Computer"),
                       kindIcon(QAbstractFileIconProvider::Computer), 0});

    const QByteArray shown = QByteArray::fromStdString(shownFolder_);
    const bool inFolder = shownFolder_ != dravik::kComputerLevel;
    // The entries of the computer level, and the folders from the deepest of
    // them that holds the shown folder down to it.
    std::vector<QByteArray> tops;
    for (int row = 0; row < computerModel_->rowCount(); ++row)
        tops.push_back(computerModel_->item(row)->data(kPathRole).toByteArray());
    // A root ("/", "C:\") ends with its separator.
    const char separator = QDir::separator().toLatin1();
    auto below = [separator](const QByteArray& top) {
        return top.endsWith(separator) ? top : top + separator;
    };
    auto holds = [&](const QByteArray& top, const QByteArray& folder) {
        return folder == top || folder.startsWith(below(top));
    };
    int deepest = -1;
    for (int i = 0; i < static_cast<int>(tops.size()); ++i)
        if (inFolder && holds(tops[i], shown) &&
            (deepest < 0 || tops[i].size() > tops[static_cast<std::size_t>(deepest)].size()))
            deepest = i;

    const QIcon folderIcon = kindIcon(QAbstractFileIconProvider::Folder);
    int selected = 0;
    for (int i = 0; i < static_cast<int>(tops.size()); ++i) {
        const QByteArray& top = tops[static_cast<std::size_t>(i)];
        entries.push_back(
            {top, displayName(top.toStdString()), computerModel_->item(i)->icon(), 1});
        if (i != deepest)
            continue;
        if (shown == top) {
            selected = static_cast<int>(entries.size()) - 1;
            continue;
        }
        const QByteArray rest = shown.mid(below(top).size());
        QByteArray path = below(top).chopped(1);
        int depth = 2;
        for (const QByteArray& part : rest.split(separator)) {
            if (part.isEmpty())
                continue;
            path += separator + part;
            entries.push_back({path, displayName(path.toStdString()), folderIcon, depth++});
        }
        selected = static_cast<int>(entries.size()) - 1;
    }

    const QSignalBlocker blocker(ShellComboBox1);
    ShellComboBox1->clear();
    for (const Entry& entry : entries) {
        ShellComboBox1->addItem(entry.icon, entry.text, entry.path);
        ShellComboBox1->setItemData(ShellComboBox1->count() - 1, entry.depth, kDepthRole);
    }
    ShellComboBox1->setCurrentIndex(selected);
}

std::string TForm1::listItemPath(const QModelIndex& index) const {
    if (ShellListView1->model() == folderModel_)
        return folderModel_->path(index);
    return entryPath(index.data(kPathRole));
}

bool TForm1::listItemIsFolder(const QModelIndex& index) const {
    if (ShellListView1->model() == folderModel_)
        return folderModel_->isFolder(index);
    return true;
}

void TForm1::openListItem(const QModelIndex& index) {
    const std::string path = listItemPath(index);
    if (listItemIsFolder(index))
        browseTo(path);
    else
        QDesktopServices::openUrl(fileUrl(path));
}

void TForm1::renameListItem(const QModelIndex& index) {
    ShellListView1->setCurrentIndex(index);
    ShellListView1->edit(index);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    // Tooltips show after 500 ms (the style's wake-up delay) and for 2500 ms.
    if (event->type() == QEvent::ToolTip) {
        if (auto* button = qobject_cast<QToolButton*>(watched)) {
            const auto* help = static_cast<QHelpEvent*>(event);
            QToolTip::showText(help->globalPos(), button->toolTip(), button, {}, kToolTipShowMs);
            return true;
        }
    }
    if (!ValueListEditor1 || !FileListBox1)
        return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::Paint &&
        (watched == ValueListEditor1->viewport() ||
         watched == ValueListEditor1->horizontalHeader()->viewport())) {
        ValueListEditor1DrawCell();
        return false;
    }
    // The list signals a double-click on an item only; one on an empty place
    // chooses the folder shown all the same.
    if (watched == ShellListView1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            !ShellListView1->indexAt(mouse->position().toPoint()).isValid())
            ShellListView1DblClick({});
        return false;
    }
    // A right-click opens the loader list's menu without changing the selection.
    if (watched == FileListBox1->viewport()) {
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonRelease ||
            event->type() == QEvent::MouseButtonDblClick) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton) {
                if (event->type() == QEvent::MouseButtonPress)
                    PopupMenu1->popup(mouse->globalPosition().toPoint());
                return true;
            }
        }
        if (event->type() == QEvent::ContextMenu)
            return true;
    }
    if (watched == FileListBox1 && event->type() == QEvent::ContextMenu) {
        const auto* menu = static_cast<QContextMenuEvent*>(event);
        if (menu->reason() == QContextMenuEvent::Keyboard)
            PopupMenu1->popup(menu->globalPos());
        return true;
    }
    // Keyboard navigation moves the list and the selector, runs no handler.
    if (watched == ShellListView1 && event->type() == QEvent::KeyPress &&
        QApplication::focusWidget() == ShellListView1) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool wasBrowsing = browsing_;
        browsing_ = true;
        bool handled = true;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (ShellListView1->currentIndex().isValid())
                openListItem(ShellListView1->currentIndex());
            break;
        case Qt::Key_Backspace:
            browseTo(dravik::folderAbove(shownFolder_));
            break;
        case Qt::Key_F5:
            refreshFolderList();
            break;
        default:
            handled = false;
        }
        browsing_ = wasBrowsing;
        if (handled)
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
