#pragma once

#include "compare/drive_blocks.h"

#include <QWidget>

#include <string>
#include <vector>

class CompareTableModel;
class Dialogs;
class GridCopyMenu;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
template <class T> class QFutureWatcher;

/// A line of the Compare window's grid: the heading of a block, or one of its
/// pairs.
struct CompareLine {
    const dravik::BlockPairs* block = nullptr;
    /// Nothing on the block's heading.
    const dravik::RowPair* pair = nullptr;
};

/// What both folders gave, decoded off the window's thread.
struct DrivesRead;

/// The Compare window: every comparable block of two drive folders side by
/// side, each under its heading (the passport, the specification, each ROM
/// image, each loader), Name | this folder | the other folder, each pair that
/// differs or stands on one side marked by its symbol ("!", "<", ">") and by
/// colour, each side's source in its cell's tooltip. It reads both folders on
/// a worker without changing anything of the main window, shows the rows when
/// they are ready, starts on the block it was opened for, and is not modal.
class CompareWindow : public QWidget {
    Q_OBJECT

  public:
    CompareWindow(dravik::CompareBlock start, std::string thisFolder, std::string otherFolder,
                  std::string settingsFolder, Dialogs& dialogs, QWidget* parent);
    ~CompareWindow() override;

    const std::vector<dravik::BlockPairs>& blocks() const { return blocks_; }
    QTableView* grid() const { return grid_; }
    QCheckBox* onlyDifferences() const { return onlyDifferences_; }
    QLabel* status() const { return status_; }
    QMenu* menu() const;
    /// What the grid's line row shows.
    CompareLine lineAt(int row) const;
    /// True while both folders are being read.
    bool reading() const;

    /// Reads both folders again, on a worker; Refresh is disabled meanwhile.
    void refresh();
    /// "Save comparison…": writes the blocks as the grid shows them as
    /// tab-separated lines, safely, to a file the user chooses.
    void saveComparison();

  signals:
    /// The rows of a reading are shown.
    void shown();

  private:
    void createControls();
    void createMenu();
    void showRead(DrivesRead read);
    void showLines();
    void fitLongLines();

    dravik::CompareBlock start_;
    std::string folders_[2];
    std::string settingsFolder_;
    Dialogs& dialogs_;
    std::vector<dravik::BlockPairs> blocks_;
    CompareTableModel* model_ = nullptr;
    QTableView* grid_ = nullptr;
    QCheckBox* onlyDifferences_ = nullptr;
    QPushButton* refresh_ = nullptr;
    QLabel* status_ = nullptr;
    GridCopyMenu* copyMenu_ = nullptr;
    QFutureWatcher<DrivesRead>* reading_ = nullptr;
};

/// The lines at indexes as "MARK<TAB>Name<TAB>this<TAB>other" lines, a
/// heading as "#<TAB>title", texts as the window shows them.
QString pairsAsText(const std::vector<CompareLine>& lines, const std::vector<std::size_t>& indexes);

/// The pairs among the lines at indexes as a JSON array, each pair as
/// dravik-cli compare --format json writes it.
QString pairsAsJson(const std::vector<CompareLine>& lines, const std::vector<std::size_t>& indexes);
