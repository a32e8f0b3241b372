#pragma once

#include "app/library/library_work.h"

#include <QWidget>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class Dialogs;
class LibraryTableModel;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QTimer;

namespace dravik {
struct Context;
}

/// The Library window: the drives of the library in a table that the search
/// field filters, "Add this folder" to store the working folder's drives, and
/// "Find donors" to rank the library's drives for the working folder, each
/// match row marked "=" or "≠" and by colour. Every piece of work over the
/// library runs on a worker, so the window answers throughout; a piece
/// overtaken by a newer one is not shown.
class LibraryWindow : public QWidget {
    Q_OBJECT

  public:
    /// url names the library as openStore takes it; context gives the working
    /// folder and the settings' folder; chooseFolder makes a folder the
    /// working folder as a pick in the main window's path selector does.
    LibraryWindow(std::string url, const dravik::Context& context, Dialogs& dialogs,
                  std::function<void(const std::string&)> chooseFolder, QWidget* parent);
    ~LibraryWindow() override;

    QLineEdit* search() const { return search_; }
    QTableView* drives() const { return drives_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* donorsButton() const { return donors_; }
    QPushButton* cancelButton() const { return cancel_; }
    /// The line above the table: what it shows.
    QLabel* heading() const { return heading_; }
    /// The line of the adding's progress.
    QLabel* progress() const { return progress_; }
    /// The line under the table: what went wrong, and what adding did.
    QLabel* status() const { return status_; }
    QMenu* menu() const { return menu_; }

    /// The pause after typing before the search runs, in milliseconds.
    static constexpr int kPause = 300;

  public slots:
    /// Shows the drives that the search field asks for.
    void searchLibrary();
    void addThisFolder();
    void findDonors();
    void cancelAdding();

  signals:
    /// A piece of work ended and the window shows its outcome.
    void workEnded();

  private:
    void createControls();
    void createMenu();
    void placeBesideParent();

    /// Runs work on a worker and hands its result to shown, unless a newer
    /// view was asked for meanwhile.
    template <class Result, class Work, class Shown> void runView(Work work, Shown shown);
    void showLines(const LibraryLines& lines, bool ranked);
    void rankDonorsFor(const std::string& folder);
    /// Shows again what the table shows, after a change of the library.
    void refreshView();
    void endAdding(const AddReport& report);

    /// The drive of the table's current line (a copy, as the lines change
    /// while a question waits); nothing when no line is current.
    std::optional<dravik::library::DriveSummary> currentDrive() const;
    /// The drive's folder when it is there; else tells the user, and gives false.
    bool driveFolderThere(const dravik::library::DriveSummary& drive);
    void showInFolderList();
    void compareWithDrive();
    void removeFromLibrary();

    std::string url_;
    const dravik::Context& context_;
    Dialogs& dialogs_;
    std::function<void(const std::string&)> chooseFolder_;
    LibraryTableModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QLineEdit* search_ = nullptr;
    QTableView* drives_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* donors_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QMenu* menu_ = nullptr;
    QTimer* pause_ = nullptr;
    /// Counts the views asked for; only the newest one's result is shown.
    std::uint64_t views_ = 0;
    bool ranked_ = false;
    /// The folder whose donors were ranked last.
    std::string donorsFor_;
    /// Set until the library has once been read.
    bool opened_ = false;
    std::shared_ptr<std::atomic_bool> cancelAdding_;
};

/// The Compare window of the working folder against a drive's folder.
void compareFolders(const std::string& workingFolder, const std::string& driveFolder,
                    const std::string& settingsFolder, Dialogs& dialogs, QWidget* parent);
