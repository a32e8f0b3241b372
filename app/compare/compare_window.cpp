#include "app/compare/compare_window.h"

#include "app/shared/close_keys.h"
#include "app/shared/cp1251_text.h"
#include "app/shared/dialogs.h"
#include "app/shared/grid_copy_menu.h"
#include "app/shared/native_path.h"
#include "app/shared/source_text.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "settings/settings_file.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QFont>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <array>

using dravik::BlockPairs;
using dravik::CompareBlock;
using dravik::PairState;
using dravik::ResultRow;
using dravik::RowPair;
using dravik::SideBlock;

/// What the worker made of both folders: the blocks paired and the notes for
/// the status line, the count of differing pairs first.
struct DrivesRead {
    std::vector<BlockPairs> blocks;
    QStringList notes;
};

namespace {

QString sideName(int side) {
    return side == 0 ? QStringLiteral("This folder") : QStringLiteral("The other folder");
}

QString heading(CompareBlock block) {
    return QString::fromLatin1(dravik::blockKind(block).heading);
}

// Why a folder can't be compared at all: gone, or not to be read.
QString folderTrouble(const std::string& folder) {
    if (!dravik::isFolder(folder))
        return QStringLiteral("deleted or moved: ") + nativeToQString(folder);
    try {
        dravik::listEntries(folder, "", dravik::Unreadable::Raise);
    } catch (const dravik::Error& error) {
        return fromCp1251(dravik::errorReportText(error.message()));
    }
    return {};
}

// The notes on one kind of block of both sides: their messages and errors,
// and a folder's block that one side alone has; false when an error ended
// the decode of a side.
bool noteSides(const SideBlock (&sides)[2], QStringList& notes) {
    bool decoded = true;
    for (int i = 0; i < 2; ++i) {
        for (const std::string& message : sides[i].messages)
            notes << sideName(i) + QStringLiteral(": ") + fromCp1251(message);
        if (sides[i].error) {
            notes << sideName(i) + QStringLiteral(": ") +
                         fromCp1251(dravik::errorReportText(sides[i].error->message()));
            decoded = false;
        } else if (!dravik::blockKind(sides[i].block).perFile && !sides[i].found &&
                   sides[1 - i].found) {
            notes << sideName(i) + QStringLiteral(": no ") + heading(sides[i].block).toLower() +
                         QStringLiteral(" rows");
        }
    }
    return decoded;
}

// Runs on a worker: every block of both folders decoded and paired, changing
// nothing. A folder that can't be read leaves nothing to compare.
DrivesRead readDrives(const std::array<std::string, 2>& folders,
                      const std::string& settingsFolder) {
    DrivesRead read;
    for (int i = 0; i < 2; ++i) {
        if (const QString trouble = folderTrouble(folders[i]); !trouble.isEmpty())
            read.notes << sideName(i) + QStringLiteral(": ") + trouble;
    }
    if (!read.notes.isEmpty())
        return read;
    const dravik::SettingsFile settings = dravik::SettingsFile::loadFrom(settingsFolder);
    std::vector<SideBlock> drives[2] = {dravik::decodeDrive(folders[0], settings),
                                        dravik::decodeDrive(folders[1], settings)};
    const auto families = dravik::familiesDiffer(drives[0], drives[1]);
    for (std::size_t kind = 0; kind < drives[0].size(); ++kind) {
        const SideBlock sides[2] = {std::move(drives[0][kind]), std::move(drives[1][kind])};
        if (!noteSides(sides, read.notes))
            continue;
        for (BlockPairs& block : dravik::pairBlocks(sides[0], sides[1]))
            read.blocks.push_back(std::move(block));
    }
    std::size_t pairs = 0;
    std::size_t differing = 0;
    for (const BlockPairs& block : read.blocks) {
        pairs += block.pairs.size();
        differing += static_cast<std::size_t>(
            std::count_if(block.pairs.begin(), block.pairs.end(),
                          [](const RowPair& pair) { return pair.state != PairState::Same; }));
    }
    read.notes.prepend(differing == 0 ? QStringLiteral("No row differs.")
                                      : QStringLiteral("%1 of %2 rows differ or stand on one side.")
                                            .arg(differing)
                                            .arg(pairs));
    // Families that differ are said first.
    if (families)
        read.notes.prepend(QStringLiteral("Families differ: %1 and %2.")
                               .arg(fromCp1251(families->first), fromCp1251(families->second)));
    return read;
}

// Marks that survive colour blindness and dark palettes: the symbol leads the
// name; the colour only repeats it.
QColor stateColour(PairState state) {
    switch (state) {
    case PairState::Differs:
        return QColor(0xFF, 0xD5, 0x80);
    case PairState::OnlyInFirst:
        return QColor(0xF8, 0xBB, 0xD0);
    case PairState::OnlyInSecond:
        return QColor(0xB3, 0xE5, 0xFC);
    case PairState::Same:
        break;
    }
    return {};
}

QString stateText(PairState state) {
    switch (state) {
    case PairState::Same:
        return QStringLiteral("the same in both folders");
    case PairState::Differs:
        return QStringLiteral("differs");
    case PairState::OnlyInFirst:
        return QStringLiteral("only in this folder");
    case PairState::OnlyInSecond:
        return QStringLiteral("only in the other folder");
    }
    return {};
}

QString sideToolTip(const std::optional<ResultRow>& row, int side) {
    if (!row)
        return sideName(side) + QStringLiteral(": no such row");
    if (!row->source)
        return sideName(side) + QStringLiteral(": read from no file");
    return sideName(side) + QStringLiteral(": ") + sourceText(*row->source);
}

// The room a cell leaves around its text, on each side.
constexpr int kCellMargin = 4;

QString cellText(const std::optional<ResultRow>& row) {
    return row ? shownCellText(row->value) : QString();
}

// A differing value as its cell shows it: one that may be too wide for the
// cell gets a break opportunity (a zero-width space) after each character, so
// that it wraps anywhere rather than being cut where the two values part.
QString shownValue(const RowPair& pair, const std::optional<ResultRow>& row) {
    QString text = cellText(row);
    constexpr qsizetype kShortValue = 16;
    if (pair.state != PairState::Differs || text.size() <= kShortValue)
        return text;
    QString breakable;
    breakable.reserve(text.size() * 2);
    for (const QChar c : text)
        breakable += QString(c) + QChar(0x200B);
    return breakable;
}

} // namespace

/// The blocks as the window's grid shows them: each block's heading, then its
/// pairs, the same ones left out on request.
class CompareTableModel : public QAbstractTableModel {
  public:
    CompareTableModel(const std::vector<BlockPairs>& blocks, QStringList headers, QObject* parent)
        : QAbstractTableModel(parent), blocks_(blocks), headers_(std::move(headers)) {}

    void showPairs(bool onlyDifferences) {
        beginResetModel();
        lines_.clear();
        for (const BlockPairs& block : blocks_) {
            lines_.push_back({&block, nullptr});
            for (const RowPair& pair : block.pairs) {
                if (!onlyDifferences || pair.state != PairState::Same)
                    lines_.push_back({&block, &pair});
            }
        }
        endResetModel();
    }
    const std::vector<CompareLine>& lines() const { return lines_; }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(lines_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 3;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < headers_.size())
            return headers_.at(section);
        return {};
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid())
            return {};
        const CompareLine& line = lines_.at(static_cast<std::size_t>(index.row()));
        if (line.pair == nullptr)
            return headingData(*line.block, index.column(), role);
        const RowPair& pair = *line.pair;
        const std::optional<ResultRow>& row = index.column() == 1 ? pair.first : pair.second;
        switch (role) {
        case Qt::DisplayRole:
            if (index.column() == 0)
                return QString(QLatin1Char(dravik::pairMark(pair.state))) + QStringLiteral("  ") +
                       shownCellText(pair.name());
            return shownValue(pair, row);
        case Qt::ToolTipRole:
            if (index.column() == 0)
                return shownCellText(pair.name()) + QStringLiteral(": ") + stateText(pair.state) +
                       QLatin1Char('\n') + sideToolTip(pair.first, 0) + QLatin1Char('\n') +
                       sideToolTip(pair.second, 1);
            // A value too long for its cell is read whole here.
            return cellText(row) + QLatin1Char('\n') + sideToolTip(row, index.column() - 1);
        case Qt::BackgroundRole:
            if (pair.state != PairState::Same)
                return stateColour(pair.state);
            return {};
        case Qt::ForegroundRole:
            // Dark text on the light marks, whatever the palette.
            if (pair.state != PairState::Same)
                return QColor(Qt::black);
            return {};
        default:
            return {};
        }
    }

  private:
    static QVariant headingData(const BlockPairs& block, int column, int role) {
        switch (role) {
        case Qt::DisplayRole:
            if (column == 0)
                return nativeToQString(dravik::blockTitle(block));
            return {};
        case Qt::FontRole: {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        case Qt::BackgroundRole:
            return QPalette().color(QPalette::Midlight);
        case Qt::ForegroundRole:
            return QPalette().color(QPalette::Text);
        default:
            return {};
        }
    }

    const std::vector<BlockPairs>& blocks_;
    QStringList headers_;
    std::vector<CompareLine> lines_;
};

QString pairsAsText(const std::vector<CompareLine>& lines,
                    const std::vector<std::size_t>& indexes) {
    QString text;
    for (const std::size_t index : indexes) {
        const CompareLine& line = lines.at(index);
        if (line.pair == nullptr) {
            text += QStringLiteral("#\t") + nativeToQString(dravik::blockTitle(*line.block)) +
                    QLatin1Char('\n');
            continue;
        }
        const RowPair& pair = *line.pair;
        text += QString(QLatin1Char(dravik::pairMark(pair.state))) + QLatin1Char('\t') +
                shownCellText(pair.name()) + QLatin1Char('\t') + cellText(pair.first) +
                QLatin1Char('\t') + cellText(pair.second) + QLatin1Char('\n');
    }
    return text;
}

QString pairsAsJson(const std::vector<CompareLine>& lines,
                    const std::vector<std::size_t>& indexes) {
    std::string json = "[";
    for (const std::size_t index : indexes) {
        if (const RowPair* pair = lines.at(index).pair)
            json += (json.size() == 1 ? "\n  " : ",\n  ") + dravik::pairJson(*pair);
    }
    return QString::fromStdString(json + "\n]\n");
}

CompareWindow::CompareWindow(CompareBlock start, std::string thisFolder, std::string otherFolder,
                             std::string settingsFolder, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window),
      start_(start), folders_{std::move(thisFolder), std::move(otherFolder)},
      settingsFolder_(std::move(settingsFolder)), dialogs_(dialogs) {
    setObjectName(QStringLiteral("CompareWindow"));
    setWindowTitle(
        QStringLiteral("Compare %1: %2 and %3")
            .arg(heading(start_), nativeToQString(folders_[0]), nativeToQString(folders_[1])));
    resize(720, 480);
    createControls();
    createMenu();
    refresh();
}

// A reading still under way ends on its own; its rows are not shown.
CompareWindow::~CompareWindow() = default;

void CompareWindow::createControls() {
    onlyDifferences_ = new QCheckBox(QStringLiteral("Only differences"), this);
    onlyDifferences_->setObjectName(QStringLiteral("OnlyDifferences"));
    auto* save = new QPushButton(QStringLiteral("Save comparison\u2026"), this);
    save->setObjectName(QStringLiteral("SaveComparison"));
    save->setToolTip(QStringLiteral("Save the rows shown as tab-separated values"));
    refresh_ = new QPushButton(QStringLiteral("Refresh"), this);
    refresh_->setObjectName(QStringLiteral("Refresh"));
    refresh_->setShortcut(QKeySequence::Refresh);
    refresh_->setToolTip(QStringLiteral("Read both folders again"));

    const auto folderName = [](const std::string& folder) {
        return displayName(folder.substr(folder.find_last_of('/') + 1));
    };
    model_ = new CompareTableModel(blocks_,
                                   {QStringLiteral("Name"),
                                    QStringLiteral("This folder: ") + folderName(folders_[0]),
                                    QStringLiteral("The other folder: ") + folderName(folders_[1])},
                                   this);
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("CompareGrid"));
    grid_->setModel(model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A long value that differs wraps in its cell, anywhere (fitLongLines
    // makes its line tall enough), so that where the two part is in view.
    grid_->setWordWrap(true);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid_->horizontalHeader()->setToolTip(nativeToQString(folders_[0]) + QLatin1Char('\n') +
                                          nativeToQString(folders_[1]));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("CompareStatus"));
    status_->setWordWrap(true);

    auto* bar = new QHBoxLayout;
    bar->addWidget(onlyDifferences_);
    bar->addStretch(1);
    bar->addWidget(save);
    bar->addWidget(refresh_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(grid_, 1);
    layout->addWidget(status_);

    connect(onlyDifferences_, &QCheckBox::toggled, this, &CompareWindow::showLines);
    connect(grid_->horizontalHeader(), &QHeaderView::sectionResized, this,
            &CompareWindow::fitLongLines);
    connect(refresh_, &QPushButton::clicked, this, &CompareWindow::refresh);
    connect(save, &QPushButton::clicked, this, &CompareWindow::saveComparison);
    closeOnEscapeAndCtrlW(*this);
}

void CompareWindow::createMenu() {
    copyMenu_ = new GridCopyMenu(
        *grid_, QStringLiteral("CompareMenu"),
        [](int line) { return static_cast<std::size_t>(line); },
        [this](const std::vector<std::size_t>& indexes) {
            return pairsAsText(model_->lines(), indexes);
        },
        [this](const std::vector<std::size_t>& indexes) {
            return pairsAsJson(model_->lines(), indexes);
        });
}

QMenu* CompareWindow::menu() const {
    return copyMenu_->menu();
}

CompareLine CompareWindow::lineAt(int row) const {
    return model_->lines().at(static_cast<std::size_t>(row));
}

bool CompareWindow::reading() const {
    return reading_ != nullptr;
}

void CompareWindow::refresh() {
    if (reading_ != nullptr)
        return;
    refresh_->setEnabled(false);
    status_->setText(QStringLiteral("Reading both folders\u2026"));
    reading_ = new QFutureWatcher<DrivesRead>(this);
    connect(reading_, &QFutureWatcherBase::finished, this, [this] {
        DrivesRead read = reading_->result();
        reading_->deleteLater();
        reading_ = nullptr;
        showRead(std::move(read));
    });
    reading_->setFuture(
        QtConcurrent::run([folders = std::array<std::string, 2>{folders_[0], folders_[1]},
                           settings = settingsFolder_] { return readDrives(folders, settings); }));
}

void CompareWindow::showRead(DrivesRead read) {
    blocks_ = std::move(read.blocks);
    showLines();
    status_->setText(read.notes.join(QLatin1Char('\n')));
    // The block the window was opened for comes into view.
    const std::vector<CompareLine>& lines = model_->lines();
    const auto first = std::find_if(lines.begin(), lines.end(), [this](const CompareLine& line) {
        return line.pair == nullptr && line.block->block == start_;
    });
    if (first != lines.end())
        grid_->scrollTo(model_->index(static_cast<int>(first - lines.begin()), 0),
                        QAbstractItemView::PositionAtTop);
    refresh_->setEnabled(true);
    emit shown();
}

void CompareWindow::showLines() {
    model_->showPairs(onlyDifferences_->isChecked());
    fitLongLines();
}

void CompareWindow::fitLongLines() {
    // Only the lines whose differing values are too wide for their cells are
    // measured: a whole drive has tens of thousands of lines.
    const QFontMetrics metrics = grid_->fontMetrics();
    const int lineHeight = grid_->verticalHeader()->defaultSectionSize();
    const std::vector<CompareLine>& lines = model_->lines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const RowPair* pair = lines[i].pair;
        if (pair == nullptr || pair->state != PairState::Differs)
            continue;
        int textLines = 1;
        for (int side = 0; side < 2; ++side) {
            const std::optional<ResultRow>& row = side == 0 ? pair->first : pair->second;
            const int room = grid_->columnWidth(side + 1) - 2 * kCellMargin;
            if (row && room > 0)
                textLines = std::max(textLines,
                                     (metrics.horizontalAdvance(cellText(row)) + room - 1) / room);
        }
        const int row = static_cast<int>(i);
        if (textLines > 1 || grid_->rowHeight(row) != lineHeight)
            grid_->setRowHeight(row, lineHeight + (textLines - 1) * metrics.lineSpacing());
    }
}

void CompareWindow::saveComparison() {
    const QString path =
        dialogs_.chooseSaveFile(QStringLiteral("Save comparison"),
                                nativeToQString(dravik::joinPath(folders_[0], "comparison.tsv")),
                                QStringLiteral("Tab-separated values (*.tsv);;All files (*)"));
    if (path.isEmpty())
        return;
    const std::string text =
        dravik::blocksTsv(blocks_, folders_[0], folders_[1], onlyDifferences_->isChecked());
    try {
        // A file the user names is written whole or not at all; a link there
        // is replaced rather than written through.
        dravik::writeFileSafely(qStringToNative(path), text, dravik::WriteStyle::Whole,
                                dravik::TemporaryFile::Unnamed, dravik::AtLink::Replace);
    } catch (const dravik::Error& error) {
        dialogs_.showError(fromCp1251(dravik::errorReportText(error.message())));
    }
}
