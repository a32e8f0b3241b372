#include "app/library/library_window.h"

#include "app/compare/compare_window.h"
#include "app/compare/compare_with.h"
#include "app/shared/cp1251_text.h"
#include "app/shared/dialogs.h"
#include "app/shared/native_path.h"
#include "modules/context.h"
#include "platform/file_system.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

using dravik::library::DonorRow;
using dravik::library::DriveSummary;

namespace {

const char* const kDriveHeadings[] = {"Label",  "Family", "Firmware code",
                                      "Serial", "Board",  "Updated"};
constexpr int kDriveColumns = 6;
/// A donor's rank and its count of agreeing rows stand before its drive's columns.
constexpr int kRankColumns = 2;
/// The most failed folders that the line under the table names one by one.
constexpr int kFailuresShown = 10;

// The rows that rank donors, as the heading names them.
QString matchNamesText() {
    QStringList names;
    for (const std::string& name : dravik::library::defaultMatchNames())
        names << shownCellText(name);
    return names.join(QStringLiteral(", "));
}

} // namespace

/// The lines of the Library window: drives, or donors ranked with a column
/// per match row, its cells marked by symbol and by colour.
class LibraryTableModel : public QAbstractTableModel {
  public:
    using QAbstractTableModel::QAbstractTableModel;

    void show(std::vector<LibraryLine> lines, bool ranked) {
        beginResetModel();
        lines_ = std::move(lines);
        ranked_ = ranked;
        matchNames_.clear();
        if (ranked_ && !lines_.empty()) {
            for (const DonorRow& row : lines_.front().matches)
                matchNames_ << shownCellText(row.name);
        }
        endResetModel();
    }
    const LibraryLine& line(int row) const { return lines_.at(static_cast<std::size_t>(row)); }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(lines_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        if (parent.isValid())
            return 0;
        return ranked_ ? kRankColumns + kDriveColumns + static_cast<int>(matchNames_.size())
                       : kDriveColumns;
    }
    /// Where the marks of the match rows begin; columnCount() when there are none.
    int firstMatchColumn() const { return ranked_ ? kRankColumns + kDriveColumns : kDriveColumns; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        // A match row's name shows whole in its heading's tooltip, as its
        // narrow column cuts it.
        if (orientation != Qt::Horizontal ||
            (role != Qt::DisplayRole &&
             !(role == Qt::ToolTipRole && section >= firstMatchColumn())))
            return {};
        const int column = ranked_ ? section - kRankColumns : section;
        if (column < 0)
            return section == 0 ? QStringLiteral("Rank") : QStringLiteral("Agreeing");
        if (column < kDriveColumns)
            return QString::fromLatin1(kDriveHeadings[column]);
        return matchNames_.value(column - kDriveColumns);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        const LibraryLine& shown = line(index.row());
        const int column = ranked_ ? index.column() - kRankColumns : index.column();
        if (column >= kDriveColumns)
            return matchData(
                shown, shown.matches.at(static_cast<std::size_t>(column - kDriveColumns)), role);
        if (role == Qt::DisplayRole) {
            if (column == -2)
                return index.row() + 1;
            if (column == -1)
                return QStringLiteral("%1 of %2").arg(shown.agreeing).arg(shown.matches.size());
            return shownDriveColumns(shown.drive).value(column);
        }
        if (role == Qt::ToolTipRole)
            return nativeToQString(shown.drive.path) + shown.foundRows;
        return {};
    }

  private:
    static QVariant matchData(const LibraryLine& shown, const DonorRow& row, int role) {
        switch (role) {
        case Qt::DisplayRole:
            return row.agrees ? QStringLiteral("=") : QStringLiteral("\u2260");
        case Qt::ToolTipRole:
            return QStringLiteral("%1 %2\nThe working folder: %3\n%4: %5")
                .arg(shownCellText(row.name),
                     row.agrees ? QStringLiteral("agrees") : QStringLiteral("differs"),
                     valueText(row.benchValue), displayName(shown.drive.label),
                     valueText(row.donorValue));
        case Qt::BackgroundRole:
            return row.agrees ? QColor(0xC8, 0xE6, 0xC9) : QColor(0xFF, 0xCD, 0xD2);
        case Qt::ForegroundRole:
            // Dark text on the light marks, whatever the palette.
            return QColor(Qt::black);
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        default:
            return {};
        }
    }
    static QString valueText(const std::string& value) {
        return value.empty() ? QStringLiteral("(no such row)") : shownCellText(value);
    }

    std::vector<LibraryLine> lines_;
    bool ranked_ = false;
    QStringList matchNames_;
};

void compareFolders(const std::string& workingFolder, const std::string& driveFolder,
                    const std::string& settingsFolder, Dialogs& dialogs, QWidget* parent) {
    auto* compare = new CompareWindow(dravik::CompareBlock::Pasport, workingFolder, driveFolder,
                                      settingsFolder, dialogs, parent);
    compare->setAttribute(Qt::WA_DeleteOnClose);
    compare->show();
    compare->raise();
    compare->activateWindow();
}

LibraryWindow::LibraryWindow(std::string url, const dravik::Context& context, Dialogs& dialogs,
                             std::function<void(const std::string&)> chooseFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), url_(std::move(url)), context_(context), dialogs_(dialogs),
      chooseFolder_(std::move(chooseFolder)),
      cancelAdding_(std::make_shared<std::atomic_bool>(false)) {
    setObjectName(QStringLiteral("LibraryWindow"));
    setWindowTitle(QStringLiteral("Library"));
    resize(900, 520);
    createControls();
    createMenu();
    placeBesideParent();
    searchLibrary();
}

LibraryWindow::~LibraryWindow() {
    // A worker still adding stops after its folder; its result goes nowhere.
    *cancelAdding_ = true;
}

void LibraryWindow::createControls() {
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("LibrarySearch"));
    search_->setPlaceholderText(QStringLiteral("Search: any text, or NAME=VALUE and NAME~TEXT"));
    search_->setClearButtonEnabled(true);
    search_->setToolTip(QStringLiteral(
        "Plain text finds the drives whose columns hold it.\n"
        "NAME=VALUE finds the drives with that row; NAME~TEXT, a row whose value holds TEXT.\n"
        "Separate terms by blanks; quote a term that holds one: \"Code FW=VAM4019Z\"."));
    add_ = new QPushButton(QStringLiteral("Add this folder"), this);
    add_->setObjectName(QStringLiteral("LibraryAdd"));
    add_->setToolTip(QStringLiteral(
        "Store the working folder's drive, or every drive folder below it, in the library"));
    donors_ = new QPushButton(QStringLiteral("Find donors"), this);
    donors_->setObjectName(QStringLiteral("LibraryDonors"));
    donors_->setToolTip(
        QStringLiteral("Rank the library's drives as donors for the working folder"));

    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("LibraryHeading"));
    // A long heading (a deep folder, many match rows) wraps rather than
    // widening the window past the screen.
    heading_->setWordWrap(true);
    model_ = new LibraryTableModel(this);
    drives_ = new QTableView(this);
    drives_->setObjectName(QStringLiteral("LibraryDrives"));
    // A click on a heading sorts by its column, a third one back to the
    // library's order (by rank for donors).
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortCaseSensitivity(Qt::CaseInsensitive);
    drives_->setModel(sorted_);
    drives_->horizontalHeader()->setSortIndicatorClearable(true);
    drives_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    drives_->setSortingEnabled(true);
    drives_->setSelectionBehavior(QAbstractItemView::SelectRows);
    drives_->setSelectionMode(QAbstractItemView::SingleSelection);
    drives_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    drives_->setContextMenuPolicy(Qt::CustomContextMenu);
    drives_->setWordWrap(false);
    drives_->verticalHeader()->hide();
    drives_->verticalHeader()->setDefaultSectionSize(drives_->fontMetrics().height() + 6);
    drives_->horizontalHeader()->setStretchLastSection(true);
    // A heading wider than its column keeps its start in sight.
    drives_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    drives_->horizontalHeader()->setTextElideMode(Qt::ElideRight);

    progress_ = new QLabel(this);
    progress_->setObjectName(QStringLiteral("LibraryProgress"));
    progress_->setWordWrap(true);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("LibraryCancel"));
    progress_->hide();
    cancel_->hide();
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("LibraryStatus"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* bar = new QHBoxLayout;
    bar->addWidget(search_, 1);
    bar->addWidget(add_);
    bar->addWidget(donors_);
    auto* adding = new QHBoxLayout;
    adding->addWidget(progress_, 1);
    adding->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(heading_);
    layout->addWidget(drives_, 1);
    layout->addLayout(adding);
    layout->addWidget(status_);

    pause_ = new QTimer(this);
    pause_->setSingleShot(true);
    pause_->setInterval(kPause);
    connect(pause_, &QTimer::timeout, this, &LibraryWindow::searchLibrary);
    connect(search_, &QLineEdit::textChanged, pause_, qOverload<>(&QTimer::start));
    connect(add_, &QPushButton::clicked, this, &LibraryWindow::addThisFolder);
    connect(donors_, &QPushButton::clicked, this, &LibraryWindow::findDonors);
    connect(cancel_, &QPushButton::clicked, this, &LibraryWindow::cancelAdding);
    connect(drives_, &QTableView::doubleClicked, this, &LibraryWindow::showInFolderList);

    auto* close = new QAction(this);
    close->setObjectName(QStringLiteral("LibraryClose"));
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(QStringLiteral("Ctrl+W"))});
    close->setShortcutContext(Qt::WindowShortcut);
    addAction(close);
    connect(close, &QAction::triggered, this, &QWidget::close);
}

void LibraryWindow::createMenu() {
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("LibraryMenu"));
    const struct {
        const char* text;
        const char* name;
        void (LibraryWindow::*handler)();
    } items[] = {
        {"Compare with\u2026", "LibraryCompareWith", &LibraryWindow::compareWithDrive},
        {"Show in folder list", "LibraryShowFolder", &LibraryWindow::showInFolderList},
        {"Remove from library", "LibraryRemove", &LibraryWindow::removeFromLibrary},
    };
    for (const auto& item : items)
        menu_->addAction(QString::fromUtf8(item.text), this, item.handler)
            ->setObjectName(QString::fromLatin1(item.name));
    connect(drives_, &QWidget::customContextMenuRequested, this, [this](QPoint pos) {
        const QModelIndex at = drives_->indexAt(pos);
        if (!at.isValid())
            return;
        drives_->setCurrentIndex(at);
        menu_->popup(drives_->viewport()->mapToGlobal(pos));
    });
}

namespace {

// The main window's folder browser; the settings editor's Panel1, a window of
// its own, does not count.
const QWidget* folderBrowserOf(const QWidget& main) {
    for (const QWidget* panel : main.findChildren<QWidget*>(QStringLiteral("Panel1")))
        if (panel->window() == &main)
            return panel;
    return nullptr;
}

} // namespace

void LibraryWindow::placeBesideParent() {
    const QWidget* main = parentWidget();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!main || !screen)
        return;
    // Right of the main window where the screen has room, else left of it;
    // else over its grid, keeping its folder browser in sight.
    const QRect room = screen->availableGeometry();
    const QRect beside = main->frameGeometry();
    QPoint at(beside.right() + 8, beside.top());
    if (at.x() + width() > room.right()) {
        if (beside.left() - 8 - width() >= room.left()) {
            at.setX(beside.left() - 8 - width());
        } else if (const QWidget* browser = folderBrowserOf(*main)) {
            // Neither side has room: right of the folder browser, over the
            // grid, as wide as the screen leaves when that is wide enough.
            constexpr int kNarrowest = 560;
            const int left = browser->mapToGlobal(QPoint(browser->width(), 0)).x() + 8;
            if (room.right() + 1 - left >= kNarrowest) {
                resize(std::min(width(), room.right() + 1 - left), height());
                at.setX(left);
            }
        }
    }
    at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - width())));
    at.setY(std::clamp(at.y(), room.top(), std::max(room.top(), room.bottom() - height())));
    move(at);
}

template <class Result, class Work, class Shown>
void LibraryWindow::runView(Work work, Shown shown) {
    const std::uint64_t view = ++views_;
    // The worker gets copies only: the window may go before it ends.
    auto* watcher = new QFutureWatcher<Result>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, view, shown] {
        if (view == views_)
            shown(watcher->result());
        watcher->deleteLater();
        emit workEnded();
    });
    watcher->setFuture(QtConcurrent::run(std::move(work)));
}

void LibraryWindow::searchLibrary() {
    pause_->stop();
    heading_->setText(QStringLiteral("Searching\u2026"));
    runView<LibraryLines>([url = url_, query = parseLibraryQuery(
                                           search_->text())] { return searchDrives(url, query); },
                          [this](const LibraryLines& lines) { showLines(lines, false); });
}

void LibraryWindow::findDonors() {
    if (!dravik::isFolder(context_.workingFolder)) {
        status_->setText(
            QStringLiteral("The working folder is no folder: choose a drive's folder first."));
        return;
    }
    status_->clear();
    rankDonorsFor(context_.workingFolder);
}

void LibraryWindow::rankDonorsFor(const std::string& folder) {
    donorsFor_ = folder;
    heading_->setText(QStringLiteral("Reading %1 and ranking the library's drives\u2026")
                          .arg(nativeToQString(folder)));
    runView<LibraryLines>(
        [url = url_, folder, settings = context_.startFolder] {
            return rankDonors(url, folder, settings);
        },
        [this, folder](const LibraryLines& lines) {
            showLines(lines, true);
            if (lines.error.isEmpty())
                heading_->setText(QStringLiteral("Donors for %1: %2 drives, by %3")
                                      .arg(nativeToQString(folder))
                                      .arg(lines.lines.size())
                                      .arg(matchNamesText()));
        });
}

void LibraryWindow::showLines(const LibraryLines& lines, bool ranked) {
    if (!lines.error.isEmpty()) {
        model_->show({}, ranked);
        heading_->clear();
        status_->setText(lines.error);
        // A library that can't be opened leaves nothing to do here.
        if (!opened_) {
            search_->setEnabled(false);
            add_->setEnabled(false);
            donors_->setEnabled(false);
        }
        return;
    }
    opened_ = true;
    // Drives and donors have other columns: a sort of the one isn't kept for the other.
    if (ranked != ranked_)
        drives_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    ranked_ = ranked;
    setWindowTitle(QStringLiteral("Library: ") + lines.library);
    model_->show(lines.lines, ranked);
    drives_->resizeColumnsToContents();
    // The marks stay in sight beside the drive's columns.
    const int markWidth = drives_->fontMetrics().horizontalAdvance(QStringLiteral("Code FW")) + 12;
    QHeaderView* header = drives_->horizontalHeader();
    // The drives' columns in their own order, whatever the donors' moved.
    for (int column = 0; column < model_->columnCount(); ++column)
        header->moveSection(header->visualIndex(column), column);
    for (int column = model_->firstMatchColumn(); column < model_->columnCount(); ++column) {
        drives_->setColumnWidth(column, markWidth);
        // Shown right after the rank, the count and the label, so that a
        // narrow window shows the marks before the drive's other columns.
        header->moveSection(header->visualIndex(column),
                            3 + column - model_->firstMatchColumn());
    }
    if (!ranked)
        heading_->setText(search_->text().trimmed().isEmpty()
                              ? QStringLiteral("%1 drives").arg(lines.lines.size())
                              : QStringLiteral("%1 drives found").arg(lines.lines.size()));
}

void LibraryWindow::refreshView() {
    if (ranked_)
        rankDonorsFor(donorsFor_);
    else
        searchLibrary();
}

void LibraryWindow::addThisFolder() {
    const std::string folder = context_.workingFolder;
    if (!dravik::isFolder(folder)) {
        status_->setText(QStringLiteral("The working folder is no folder: choose one first."));
        return;
    }
    add_->setEnabled(false);
    status_->clear();
    progress_->setText(
        QStringLiteral("Looking for drive folders in %1\u2026").arg(nativeToQString(folder)));
    progress_->show();
    cancel_->show();
    cancel_->setEnabled(true);
    *cancelAdding_ = false;
    auto* watcher = new QFutureWatcher<AddReport>(this);
    connect(watcher, &QFutureWatcherBase::progressTextChanged, progress_, &QLabel::setText);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        endAdding(watcher->result());
        watcher->deleteLater();
        emit workEnded();
    });
    watcher->setFuture(addFoldersInWorker(url_, folder, context_.startFolder, cancelAdding_));
}

void LibraryWindow::cancelAdding() {
    *cancelAdding_ = true;
    cancel_->setEnabled(false);
    progress_->setText(progress_->text() + QStringLiteral(" (cancelling)"));
}

void LibraryWindow::endAdding(const AddReport& report) {
    progress_->hide();
    cancel_->hide();
    add_->setEnabled(true);
    QStringList lines;
    if (!report.error.isEmpty()) {
        lines << report.error;
    } else if (report.cancelled && report.found == 0) {
        lines << QStringLiteral("Cancelled while looking for drive folders.");
    } else if (report.found == 0) {
        lines << QStringLiteral("No drive folder here: a drive folder holds .rpm or .ldr files.");
    } else {
        lines << QStringLiteral("%1 %2 of %3 drive folders: %4 stored, %5 unchanged, %6 failed.")
                     .arg(report.cancelled ? QStringLiteral("Cancelled after")
                                           : QStringLiteral("Added"))
                     .arg(report.added + report.unchanged +
                          static_cast<int>(report.failures.size()))
                     .arg(report.found)
                     .arg(report.added)
                     .arg(report.unchanged)
                     .arg(report.failures.size());
        lines << report.failures.mid(0, kFailuresShown);
        if (report.failures.size() > kFailuresShown)
            lines << QStringLiteral("and %1 more.").arg(report.failures.size() - kFailuresShown);
    }
    status_->setText(lines.join(QLatin1Char('\n')));
    refreshView();
}

std::optional<DriveSummary> LibraryWindow::currentDrive() const {
    const QModelIndex current = drives_->currentIndex();
    if (!current.isValid())
        return std::nullopt;
    return model_->line(sorted_->mapToSource(current).row()).drive;
}

bool LibraryWindow::driveFolderThere(const DriveSummary& drive) {
    if (dravik::isFolder(drive.path))
        return true;
    dialogs_.showMessage(QStringLiteral("The folder of the drive %1 is not there:\n%2")
                             .arg(displayName(drive.label), nativeToQString(drive.path)));
    return false;
}

void LibraryWindow::showInFolderList() {
    const std::optional<DriveSummary> drive = currentDrive();
    if (drive && driveFolderThere(*drive))
        chooseFolder_(drive->path);
}

void LibraryWindow::compareWithDrive() {
    const std::optional<DriveSummary> drive = currentDrive();
    if (!drive || !driveFolderThere(*drive))
        return;
    const std::string working = folderToCompare(context_);
    if (!dravik::isFolder(working)) {
        dialogs_.showMessage(
            QStringLiteral("The working folder is no folder: choose one to compare with first."));
        return;
    }
    compareFolders(working, drive->path, context_.startFolder, dialogs_, parentWidget());
}

void LibraryWindow::removeFromLibrary() {
    const std::optional<DriveSummary> drive = currentDrive();
    if (!drive ||
        !dialogs_.confirm(QStringLiteral("Remove the drive %1 from the library?\n%2\n"
                                         "Its folder stays as it is.")
                              .arg(displayName(drive->label), nativeToQString(drive->path))))
        return;
    runView<QString>([url = url_, id = drive->id] { return removeDrive(url, id); },
                     [this](const QString& error) {
                         status_->setText(error);
                         refreshView();
                     });
}
