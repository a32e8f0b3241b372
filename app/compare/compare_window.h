#pragma once

#include "compare/row_pairs.h"

#include <QWidget>

#include <string>
#include <vector>

class CompareTableModel;
class GridCopyMenu;
class QCheckBox;
class QLabel;
class QMenu;
class QTableView;

/// The folder commands whose rows the Compare window holds side by side.
enum class CompareCommand { Pasport, Specification, CheckRom };

/// The command whose rows the grid shows: that of the last block of rows a
/// folder command appended (Check ROM and Specification append to what is
/// there); the passport when no such block is there.
CompareCommand commandShown(const std::vector<dravik::ResultRow>& rows);

/// The Compare window: the rows of one command decoded from two folders side
/// by side, Name | this folder | the other folder, each pair that differs or
/// stands on one side marked by its symbol ("!", "<", ">") and by colour, each
/// side's source in its cell's tooltip. It reads both folders without
/// changing anything of the main window, and is not modal.
class CompareWindow : public QWidget {
    Q_OBJECT

  public:
    CompareWindow(CompareCommand command, std::string thisFolder, std::string otherFolder,
                  std::string settingsFolder, QWidget* parent);

    const std::vector<dravik::RowPair>& pairs() const { return pairs_; }
    QTableView* grid() const { return grid_; }
    QCheckBox* onlyDifferences() const { return onlyDifferences_; }
    QLabel* status() const { return status_; }
    QMenu* menu() const;

    /// Reads both folders again.
    void refresh();

  private:
    void createControls();
    void createMenu();

    CompareCommand command_;
    std::string folders_[2];
    std::string settingsFolder_;
    std::vector<dravik::RowPair> pairs_;
    CompareTableModel* model_ = nullptr;
    QTableView* grid_ = nullptr;
    QCheckBox* onlyDifferences_ = nullptr;
    QLabel* status_ = nullptr;
    GridCopyMenu* copyMenu_ = nullptr;
};

/// The pairs at indexes as "MARK<TAB>Name<TAB>this<TAB>other" lines, texts as
/// the window shows them.
QString pairsAsText(const std::vector<dravik::RowPair>& pairs,
                    const std::vector<std::size_t>& indexes);

/// The pairs at indexes as a JSON array, each pair as dravik-cli compare
/// --format json writes it.
QString pairsAsJson(const std::vector<dravik::RowPair>& pairs,
                    const std::vector<std::size_t>& indexes);
