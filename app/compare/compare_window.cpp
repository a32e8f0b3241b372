#include "app/compare/compare_window.h"

#include "app/shared/cp1251_text.h"
#include "app/shared/grid_copy_menu.h"
#include "app/shared/native_path.h"
#include "app/shared/source_text.h"
#include "modules/pasport.h"
#include "modules/rom_check.h"
#include "modules/specification.h"
#include "platform/errors.h"
#include "settings/settings_file.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

using dravik::PairState;
using dravik::ResultRow;
using dravik::RowPair;

namespace {

const char* const kHeadings[] = {"Passport", "Specification", "Check ROM"};

QString heading(CompareCommand command) {
    return QString::fromLatin1(kHeadings[static_cast<int>(command)]);
}

QString sideName(int side) {
    return side == 0 ? QStringLiteral("This folder") : QStringLiteral("The other folder");
}

// What one folder gave: its rows, the messages of the decode and the error
// that ended it (shown texts).
struct Side {
    bool found = false;
    std::vector<ResultRow> rows;
    QStringList messages;
    QString error;
};

// One folder's rows, read without changing anything of the main window.
Side decodeFolder(CompareCommand command, const std::string& folder,
                  const dravik::SettingsFile& settings) {
    Side side;
    try {
        dravik::Decoded decoded =
            command == CompareCommand::Pasport         ? dravik::decodePasport(folder, settings)
            : command == CompareCommand::Specification ? dravik::decodeSpecification(folder)
                                                       : dravik::decodeRoms(folder, settings);
        side.found = decoded.found;
        side.rows = std::move(decoded.rows);
        for (const dravik::DecodeMessage& message : decoded.messages)
            side.messages << fromCp1251(message.text);
        if (decoded.error)
            side.error = fromCp1251(dravik::errorReportText(decoded.error->message()));
    } catch (const dravik::Error& error) {
        side.error = fromCp1251(dravik::errorReportText(error.message()));
    }
    return side;
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

} // namespace

/// The pairs as the window's grid shows them, the same ones left out on
/// request.
class CompareTableModel : public QAbstractTableModel {
  public:
    CompareTableModel(const std::vector<RowPair>& pairs, QStringList headers, QObject* parent)
        : QAbstractTableModel(parent), pairs_(pairs), headers_(std::move(headers)) {}

    void showPairs(bool onlyDifferences) {
        beginResetModel();
        shown_.clear();
        for (std::size_t i = 0; i < pairs_.size(); ++i) {
            if (!onlyDifferences || pairs_[i].state != PairState::Same)
                shown_.push_back(i);
        }
        endResetModel();
    }
    std::size_t pairAt(int row) const { return shown_.at(static_cast<std::size_t>(row)); }
    std::size_t shownCount() const { return shown_.size(); }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(shown_.size());
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
        const RowPair& pair = pairs_.at(pairAt(index.row()));
        const std::optional<ResultRow>& row = index.column() == 1 ? pair.first : pair.second;
        switch (role) {
        case Qt::DisplayRole:
            if (index.column() == 0)
                return QString(QLatin1Char(dravik::pairMark(pair.state))) + QStringLiteral("  ") +
                       shownCellText(pair.name());
            return row ? shownCellText(row->value) : QString();
        case Qt::ToolTipRole:
            if (index.column() == 0)
                return shownCellText(pair.name()) + QStringLiteral(": ") + stateText(pair.state) +
                       QLatin1Char('\n') + sideToolTip(pair.first, 0) + QLatin1Char('\n') +
                       sideToolTip(pair.second, 1);
            return sideToolTip(row, index.column() - 1);
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
    const std::vector<RowPair>& pairs_;
    QStringList headers_;
    std::vector<std::size_t> shown_;
};

CompareCommand commandShown(const std::vector<ResultRow>& rows) {
    // The first row of each folder command's block of rows.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (row->name == "Family ")
            return CompareCommand::Pasport;
        if (row->name == "Specification")
            return CompareCommand::Specification;
        if (row->name == "File Name")
            return CompareCommand::CheckRom;
    }
    return CompareCommand::Pasport;
}

QString pairsAsText(const std::vector<RowPair>& pairs, const std::vector<std::size_t>& indexes) {
    QString text;
    for (const std::size_t index : indexes) {
        const RowPair& pair = pairs.at(index);
        text += QString(QLatin1Char(dravik::pairMark(pair.state))) + QLatin1Char('\t') +
                shownCellText(pair.name()) + QLatin1Char('\t') +
                (pair.first ? shownCellText(pair.first->value) : QString()) + QLatin1Char('\t') +
                (pair.second ? shownCellText(pair.second->value) : QString()) + QLatin1Char('\n');
    }
    return text;
}

QString pairsAsJson(const std::vector<RowPair>& pairs, const std::vector<std::size_t>& indexes) {
    std::string json = "[";
    for (const std::size_t index : indexes)
        json += (json.size() == 1 ? "\n  " : ",\n  ") + dravik::pairJson(pairs.at(index));
    return QString::fromStdString(json + "\n]\n");
}

CompareWindow::CompareWindow(CompareCommand command, std::string thisFolder,
                             std::string otherFolder, std::string settingsFolder, QWidget* parent)
    : QWidget(parent, Qt::Window),
      command_(command), folders_{std::move(thisFolder), std::move(otherFolder)},
      settingsFolder_(std::move(settingsFolder)) {
    setObjectName(QStringLiteral("CompareWindow"));
    setWindowTitle(
        QStringLiteral("Compare %1: %2 and %3")
            .arg(heading(command_), nativeToQString(folders_[0]), nativeToQString(folders_[1])));
    resize(720, 480);
    createControls();
    createMenu();
    refresh();
}

void CompareWindow::createControls() {
    onlyDifferences_ = new QCheckBox(QStringLiteral("Only differences"), this);
    onlyDifferences_->setObjectName(QStringLiteral("OnlyDifferences"));
    auto* refreshButton = new QPushButton(QStringLiteral("Refresh"), this);
    refreshButton->setObjectName(QStringLiteral("Refresh"));
    refreshButton->setShortcut(QKeySequence::Refresh);
    refreshButton->setToolTip(QStringLiteral("Read both folders again"));

    const auto folderName = [](const std::string& folder) {
        return displayName(folder.substr(folder.find_last_of('/') + 1));
    };
    model_ = new CompareTableModel(pairs_,
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
    bar->addWidget(refreshButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(grid_, 1);
    layout->addWidget(status_);

    connect(onlyDifferences_, &QCheckBox::toggled, this,
            [this](bool only) { model_->showPairs(only); });
    connect(refreshButton, &QPushButton::clicked, this, &CompareWindow::refresh);
}

void CompareWindow::createMenu() {
    copyMenu_ = new GridCopyMenu(
        *grid_, QStringLiteral("CompareMenu"), [this](int line) { return model_->pairAt(line); },
        [this](const std::vector<std::size_t>& indexes) { return pairsAsText(pairs_, indexes); },
        [this](const std::vector<std::size_t>& indexes) { return pairsAsJson(pairs_, indexes); });
}

QMenu* CompareWindow::menu() const {
    return copyMenu_->menu();
}

void CompareWindow::refresh() {
    Side sides[2];
    QStringList notes;
    const dravik::SettingsFile settings = dravik::SettingsFile::loadFrom(settingsFolder_);
    for (int i = 0; i < 2; ++i) {
        sides[i] = decodeFolder(command_, folders_[i], settings);
        if (!sides[i].error.isEmpty())
            notes << sideName(i) + QStringLiteral(": ") + sides[i].error;
        else if (!sides[i].found)
            notes << sideName(i) + QStringLiteral(": no ") + heading(command_).toLower() +
                         QStringLiteral(" rows");
        for (const QString& message : sides[i].messages)
            notes << sideName(i) + QStringLiteral(": ") + message;
    }
    pairs_ = dravik::pairRows(sides[0].rows, sides[1].rows);
    model_->showPairs(onlyDifferences_->isChecked());
    const auto differing = std::count_if(pairs_.begin(), pairs_.end(), [](const RowPair& pair) {
        return pair.state != PairState::Same;
    });
    notes.prepend(differing == 0 ? QStringLiteral("No row differs.")
                                 : QStringLiteral("%1 of %2 rows differ or stand on one side.")
                                       .arg(differing)
                                       .arg(pairs_.size()));
    status_->setText(notes.join(QLatin1Char('\n')));
}
