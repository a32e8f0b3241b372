#pragma once

#include "app/main_window/folder_browser.h"
#include "app/shared/dialogs.h"
#include "modules/context.h"
#include "results/result_list.h"
#include "workspace/loader_list.h"

#include <QMainWindow>

#include <string>

class CompareWith;
class GridCopyMenu;
class LoaderJob;
class LoaderListBox;
class OpenLibrary;
class QComboBox;
class QFrame;
class QHelpEvent;
class QLabel;
class QListView;
class QListWidget;
class QMenu;
class QModelIndex;
class QTableView;
class QToolBar;
class QToolButton;
class ResultTableModel;
class ShowBytes;
class TForm2;

/// The main window: the toolbar of commands, the folder browser with the
/// loader file list on the left and the Name/Value grid on the right. Its
/// components and handlers carry the names the rest of the system uses for
/// them; each widget's objectName is that name.
class TForm1 : public QMainWindow {
    Q_OBJECT

  public:
    explicit TForm1(Dialogs& dialogs, QWidget* parent = nullptr);
    ~TForm1() override;

    /// The settings editor, created after this window.
    TForm2* Form2 = nullptr;

    QToolBar* ToolBar1 = nullptr;
    QToolButton* Button6 = nullptr;
    QToolButton* Button1 = nullptr;
    QToolButton* Button3 = nullptr;
    QWidget* ToolButton1 = nullptr;
    QToolButton* Button2 = nullptr;
    QToolButton* Button4 = nullptr;
    QWidget* ToolButton2 = nullptr;
    QToolButton* Button8 = nullptr;
    QToolButton* ToolButton6 = nullptr;
    QWidget* ToolButton3 = nullptr;
    QToolButton* Button5 = nullptr;
    QToolButton* ToolButton4 = nullptr;
    QWidget* ToolButton5 = nullptr;
    QToolButton* ToolButton7 = nullptr;
    QLabel* Panel3 = nullptr;
    QAction* ACheckLDR = nullptr;

    QFrame* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;
    QComboBox* ShellComboBox1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QListView* ShellListView1 = nullptr;
    QListWidget* FileListBox1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QTableView* ValueListEditor1 = nullptr;

    /// The state the commands work on.
    dravik::Context& context() { return context_; }
    dravik::ResultList& results() { return results_; }
    const dravik::LoaderList& loaderList() const { return loaderList_; }
    /// The grid's menu, PopupMenu2: its copy commands, then the two below.
    GridCopyMenu* gridMenu() const { return gridMenu_; }
    /// Its Bytes, with the Bytes window once opened.
    ShowBytes* showBytesItem() const { return showBytes_; }
    /// Its Compare with…, with the Compare window opened last.
    CompareWith* compareWithItem() const { return compareWith_; }
    /// Its Library…, with the Library window while it is open.
    OpenLibrary* openLibraryItem() const { return openLibrary_; }
    /// Where CheckLDR and Rename LDR read and rename, off the window's thread.
    LoaderJob* loaderJob() const { return loaderJob_; }

    /// The folder the browser shows: a native path, or the computer level.
    const std::string& shownFolder() const { return browser_->shownFolder(); }

    /// Moves the folder content list and the path selector to folder, as the
    /// browser does by itself: no handler runs.
    void browseTo(const std::string& folder) { browser_->browseTo(folder); }

    /// Chooses folder (absolute, without a trailing "/") as the user would by
    /// picking it in the path selector: the browser shows it, and the working
    /// folder, the loader list and the current directory move there.
    void chooseFolder(const std::string& folder) { browser_->chooseFolder(folder); }

  public slots:
    void FormCreate();
    void FormShow();

    void Button6Click();
    void Button1Click();
    void Button3Click();
    void ACheckLDRExecute();
    void Button4Click();
    void Button8Click();
    void Button7Click();
    void Button5Click();
    void Label2Click();
    void ToolButton7Click() { browser_->refresh(); }

    void ShellComboBox1Change();
    void ShellListView1DblClick(const QModelIndex& index) { browser_->openAndChoose(index); }
    void ShellListView1Change();
    void SpeedButton1Click() { browser_->goUp(); }
    void FileListBox1Change();
    void ValueListEditor1DrawCell();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createToolBar();
    void createBrowser();
    void createLoaderList();
    void createGrid();
    void connectHandlers();
    void createKeyboardAccess();

    QToolButton* addToolButton(const char* name, int x, int image, const char* toolTip);
    QWidget* addSeparator(const char* name, int x);

    /// Runs a handler's work; an error of the core ends it and goes to the
    /// common error report, and the window keeps its state.
    template <class Work> bool guard(Work&& work);
    void showErrorReport(const std::string& message);

    void applyModuleCommandRule();
    void moveLoaderList(const std::string& text);
    void rereadLoaderList();

    // The events that the window's controls hand over to it.
    bool showToolTip(QToolButton& button, const QHelpEvent& help);

    Dialogs& dialogs_;
    DialogsUserInterface ui_;
    dravik::ResultList results_;
    dravik::Context context_;
    dravik::LoaderList loaderList_;
    ResultTableModel* resultModel_ = nullptr;
    GridCopyMenu* gridMenu_ = nullptr;
    ShowBytes* showBytes_ = nullptr;
    CompareWith* compareWith_ = nullptr;
    OpenLibrary* openLibrary_ = nullptr;
    FolderBrowser* browser_ = nullptr;
    LoaderListBox* loaderBox_ = nullptr;
    LoaderJob* loaderJob_ = nullptr;
    bool shown_ = false;
};
