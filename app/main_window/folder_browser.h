#pragma once

#include <QFrame>

#include <string>

class QAbstractItemModel;
class QComboBox;
class QKeyEvent;
class QListView;
class QModelIndex;
class QMouseEvent;
class QStandardItemModel;
class QToolButton;
class FolderListModel;

/// The main window's folder browser, Panel1: the path selector with the up
/// button (Panel2) above the folder content list. It moves by itself as the
/// user browses and tells the window what the window acts on: a folder chosen,
/// a change of the list's selection, an error to report.
class FolderBrowser : public QFrame {
    Q_OBJECT

  public:
    explicit FolderBrowser(QWidget* parent);

    QWidget* Panel2 = nullptr;
    QComboBox* ShellComboBox1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QListView* ShellListView1 = nullptr;

    /// Puts widget at the panel's foot, below the folder content list.
    void addBelow(QWidget* widget);

    /// The folder the browser shows: a native path, or the computer level.
    const std::string& shownFolder() const { return shownFolder_; }
    /// The native path of the path selector's current entry; empty when none.
    std::string selectedFolder() const;

    /// Moves the folder content list and the path selector to folder; no
    /// signal tells of it.
    void browseTo(const std::string& folder);
    /// Chooses folder as the user would by picking it in the path selector.
    void chooseFolder(const std::string& folder);
    /// Moves to the folder above the one shown and chooses it.
    void goUp();
    /// Reads the folder content list again; the item current by its row
    /// before is current again.
    void refresh();
    /// Opens the item at index, when valid, and chooses the folder shown.
    void openAndChoose(const QModelIndex& index);

  signals:
    /// The user chose the path selector's current entry.
    void folderChosen();
    /// The user changed the current item or the selection of the list, once
    /// for the changes of one event.
    void selectionFollowed();
    /// A Windows-1251 message for the common error report.
    void errorReported(const std::string& message);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createPathSelector();
    void createFolderList();
    void connectControls();

    void pickPathSelectorEntry(int index);
    void setListModel(QAbstractItemModel* model);
    void showComputerLevel();
    void rebuildPathSelector();
    void refreshFolderList();
    void openListItem(const QModelIndex& index);
    void renameListItem(const QModelIndex& index);
    std::string listItemPath(const QModelIndex& index) const;
    bool listItemIsFolder(const QModelIndex& index) const;
    void showFolderListMenu(QPoint pos);
    void folderListDoubleClicked(const QMouseEvent& mouse);
    bool folderListKeyPressed(const QKeyEvent& key);

    FolderListModel* folderModel_ = nullptr;
    QStandardItemModel* computerModel_ = nullptr;
    std::string shownFolder_;
    /// Set while the browser moves by itself, so its selection changes do not
    /// signal selectionFollowed; each move sets it for its own scope.
    bool browsing_ = false;
    /// Set while a selectionFollowed waits for the event to end.
    bool followPending_ = false;
};
