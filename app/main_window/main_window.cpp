#include "app/main_window/main_window.h"

#include "app/bytes/show_bytes.h"
#include "app/compare/compare_with.h"
#include "app/library/open_library.h"
#include "app/main_window/appended_rows.h"
#include "app/main_window/loader_job.h"
#include "app/main_window/loader_list_box.h"
#include "app/main_window/result_table_model.h"
#include "app/settings_editor/settings_editor.h"
#include "app/shared/cp1251_text.h"
#include "app/shared/grid_copy_menu.h"
#include "app/shared/image_list.h"
#include "app/shared/scope_exit.h"
#include "app/shared/window_title.h"
#include "loaders/loader.h"
#include "modules/pasport.h"
#include "modules/rom_check.h"
#include "modules/specification.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "results/report.h"
#include "settings/default_settings.h"
#include "settings/settings_file.h"
#include "workspace/command_rules.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
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
constexpr int kToolTipShowMs = 2500;
/// The property of a toolbar button that holds its image's index.
constexpr const char* kImageProperty = "imageIndex";

} // namespace

TForm1::TForm1(Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs),
      ui_(dialogs), context_{{}, {}, results_, ui_, [this](const std::string& title) {
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
    browser_ = new FolderBrowser(this);
    Panel1 = browser_;
    Panel2 = browser_->Panel2;
    ShellComboBox1 = browser_->ShellComboBox1;
    SpeedButton1 = browser_->SpeedButton1;
    ShellListView1 = browser_->ShellListView1;
}

void TForm1::createLoaderList() {
    loaderBox_ = new LoaderListBox(ACheckLDR, Panel1);
    loaderJob_ = new LoaderJob(this);
    connect(loaderJob_, &LoaderJob::done, this,
            [this](const LoaderJob::Then& then) { guard(then); });
    FileListBox1 = loaderBox_;
    PopupMenu1 = loaderBox_->PopupMenu1;
    browser_->addBelow(FileListBox1);
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
    gridMenu_ = new GridCopyMenu(
        *ValueListEditor1, QStringLiteral("PopupMenu2"), [](int line) { return std::size_t(line); },
        [this](const std::vector<std::size_t>& indexes) { return rowsAsText(results_, indexes); },
        [this](const std::vector<std::size_t>& indexes) { return rowsAsJson(results_, indexes); });
    gridMenu_->greyWhenNothingToCopy();
    gridMenu_->menu()->addSeparator();
    showBytes_ = new ShowBytes(*ValueListEditor1, *gridMenu_->menu(), results_, *this);
    compareWith_ = new CompareWith(*gridMenu_->menu(), results_, *this, dialogs_, context_);
    openLibrary_ = new OpenLibrary(*gridMenu_->menu(), *this, dialogs_, context_,
                                   [this](const std::string& folder) { chooseFolder(folder); });
    scrollToAppendedRows(*ValueListEditor1);
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
        {Button5, "Ctrl+S", "Save All",
         "Write the rows to $Dravik.txt in the loader list's folder"},
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
    // commands' rule.
    ValueListEditor1->viewport()->installEventFilter(this);
    ValueListEditor1->horizontalHeader()->viewport()->installEventFilter(this);

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

    connect(browser_, &FolderBrowser::folderChosen, this, &TForm1::ShellComboBox1Change);
    connect(browser_, &FolderBrowser::selectionFollowed, this, &TForm1::ShellListView1Change);
    connect(browser_, &FolderBrowser::errorReported, this, &TForm1::showErrorReport);

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

// CheckLDR and Rename LDR read the loader and the settings on a worker; a
// press while one of them runs does nothing.
void TForm1::ACheckLDRExecute() {
    loaderJob_->start([this, path = loaderList_.selectedPath(), start = context_.startFolder] {
        dravik::Decoded decoded = dravik::decodeLoader(path, dravik::SettingsFile::loadFrom(start));
        return LoaderJob::Then(
            [this, decoded = std::move(decoded)] { dravik::showCheckedLoader(decoded, context_); });
    });
}

void TForm1::Button4Click() {
    loaderJob_->start([this, path = loaderList_.selectedPath()] {
        const bool existed = !path.empty() && dravik::isPlainFile(path);
        const dravik::LoaderRename done = dravik::renameLoader(path);
        return LoaderJob::Then([this, existed, done] {
            {
                // The list shows the loader as it is now, also when reading
                // failed; the error then skips the refresh of the folder
                // content list.
                const ScopeExit reread([this, existed] {
                    if (existed)
                        rereadLoaderList();
                });
                // A refused rename says why only on the command line; the
                // window shows nothing for it.
                dravik::showRenamedLoader(done, context_);
            }
            ToolButton7Click();
        });
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

// ---------------------------------------------------------------------------
// Browsing and command enabling

void TForm1::ShellComboBox1Change() {
    context_.workingFolder = browser_->selectedFolder();
    guard([this] { applyModuleCommandRule(); });
    try {
        moveLoaderList(context_.workingFolder);
    } catch (const std::exception&) {
        // A folder that can't be entered leaves the list where it is, silently.
    }
}

void TForm1::ShellListView1Change() {
    guard([this] {
        context_.workingFolder = dravik::currentDirectory();
        applyModuleCommandRule();
    });
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
        loaderBox_->showFiles(loaderList_.files());
        FileListBox1Change();
    }
}

void TForm1::rereadLoaderList() {
    {
        // What was read shows, also when reading failed.
        const ScopeExit show([this] { loaderBox_->showFiles(loaderList_.files()); });
        loaderList_.reread();
    }
    FileListBox1Change();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (auto* button = qobject_cast<QToolButton*>(watched);
        button && event->type() == QEvent::ToolTip)
        return showToolTip(*button, *static_cast<QHelpEvent*>(event));
    if (!ValueListEditor1)
        return QMainWindow::eventFilter(watched, event);
    if (event->type() == QEvent::Paint &&
        (watched == ValueListEditor1->viewport() ||
         watched == ValueListEditor1->horizontalHeader()->viewport())) {
        ValueListEditor1DrawCell();
        return false;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TForm1::showToolTip(QToolButton& button, const QHelpEvent& help) {
    // Tooltips show after 500 ms (the style's wake-up delay) and for 2500 ms.
    QToolTip::showText(help.globalPos(), button.toolTip(), &button, {}, kToolTipShowMs);
    return true;
}
