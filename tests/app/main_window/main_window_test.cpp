#include "app/bytes/bytes_window.h"
#include "app/bytes/show_bytes.h"
#include "app/main_window/computer_level.h"
#include "app/main_window/loader_job.h"
#include "app/main_window/main_window.h"
#include "app/settings_editor/settings_editor.h"
#include "app/shared/grid_copy_menu.h"
#include "app/shared/image_list.h"
#include "cli/json_reader.h"
#include "fake_dialogs.h"
#include "platform/errors.h"
#include "platform/file_system.h"
#include "settings/default_settings.h"
#include "support/test_support.h"
#include "workspace/command_rules.h"
#include "workspace/window_start.h"

#include <QClipboard>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTextBlock>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

using dravik::testing::bytesWith;
using dravik::testing::CurrentDirectoryGuard;
using dravik::testing::fileContent;
using dravik::testing::TempFolder;

// A passport module of the family "2F": its serial at 0 and its version.
std::string pasportModule(std::string_view serial = "ST380011") {
    return bytesWith(512, {{0, serial}, {128, "2F"}, {505, "Q8.01"}});
}

// A ROM image with the code "VAM4019Z" (stored pairwise swapped at 96), the
// mark "DISK" and the checksum word 0xABCD at its end.
std::string romImage() {
    return bytesWith(131072, {{96, "AV4M10Z9"}, {4000, "DISK"}, {131070, "\xCD\xAB"}});
}

// A loader: the same image behind a 512-byte header, its own checksum 0x0102.
std::string loaderFile() {
    return bytesWith(131584 + 2, {{608, "AV4M10Z9"}, {131582, "\x2B\x1A"}, {131584, "\x02\x01"}});
}

std::vector<std::pair<std::string, std::string>> rowsOf(TForm1& form) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (const dravik::ResultRow& row : form.results().rows())
        rows.emplace_back(row.name, row.value);
    return rows;
}

QStringList loaderNames(const TForm1& form) {
    QStringList names;
    for (int i = 0; i < form.FileListBox1->count(); ++i)
        names << form.FileListBox1->item(i)->text();
    return names;
}

// Waits until CheckLDR or Rename LDR has read on its worker and shown what it did.
void finishLoaderJob(const TForm1& form) {
    for (int wait = 0; wait < 500 && form.loaderJob()->running(); ++wait)
        QTest::qWait(10);
    ASSERT_FALSE(form.loaderJob()->running());
}

// Waits until the folder list shows an item named name, and gives it.
QModelIndex listItemNamed(TForm1& w, const QString& name) {
    QAbstractItemModel* model = w.ShellListView1->model();
    for (int attempt = 0; attempt < 200; ++attempt) {
        for (int row = 0; row < model->rowCount(w.ShellListView1->rootIndex()); ++row) {
            const QModelIndex item = model->index(row, 0, w.ShellListView1->rootIndex());
            if (item.data().toString() == name)
                return item;
        }
        QTest::qWait(10);
    }
    return {};
}

// Waits until the folder list holds rows items, then clicks the one named name.
void clickListItem(TForm1& w, int rows, const QString& name) {
    for (int wait = 0; wait < 500 && w.ShellListView1->model()->rowCount() != rows; ++wait)
        QTest::qWait(10);
    const QModelIndex item = listItemNamed(w, name);
    ASSERT_TRUE(item.isValid()) << name.toStdString();
    QTest::mouseClick(w.ShellListView1->viewport(), Qt::LeftButton, {},
                      w.ShellListView1->visualRect(item).center());
    QTest::qWait(50);
}

// The window of one test, started in its own start folder with the default
// settings, shown offscreen.
class MainWindowTest : public ::testing::Test {
  protected:
    MainWindowTest() { start.write("Dravik.ini", dravik::defaultSettingsContent()); }

    TForm1& show() {
        form = std::make_unique<TForm1>(dialogs);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        paintGrid();
        return *form;
    }

    void paintGrid() { form->ValueListEditor1->viewport()->repaint(); }

    // The window on a start folder that holds module, after a click on Pasport.
    TForm1& showPasport(const std::string& module = pasportModule()) {
        start.write("module.rpm", module);
        show();
        QTest::mouseClick(form->Button6, Qt::LeftButton);
        return *form;
    }

    // The user picks the entry of folder in the path selector.
    void pickFolder(const std::string& folder) {
        form->browseTo(folder);
        const int index = form->ShellComboBox1->currentIndex();
        ASSERT_EQ(form->ShellComboBox1->itemData(index).toString().toStdString(), folder);
        emit form->ShellComboBox1->activated(index);
    }

    bool moduleCommandsEnabled() const {
        const bool pasport = form->Button6->isEnabled();
        EXPECT_EQ(form->Button3->isEnabled(), pasport);
        EXPECT_EQ(form->Button1->isEnabled(), pasport);
        return pasport;
    }

    void selectLoader(int row) { form->FileListBox1->setCurrentRow(row); }

    TempFolder start;
    CurrentDirectoryGuard inStart{start.path()};
    FakeDialogs dialogs;
    std::unique_ptr<TForm1> form;
};

TEST_F(MainWindowTest, LayoutOfTheWindow) {
    TForm1& w = show();
    EXPECT_EQ(w.size(), QSize(592, 452));
    EXPECT_EQ(w.windowTitle(), QString());
    EXPECT_EQ(w.ToolBar1->geometry(), QRect(0, 0, 592, 33));

    const struct {
        QWidget* widget;
        int x;
        const char* toolTip;
    } toolbar[] = {
        {w.Button6, 0, "Pasport"},
        {w.Button1, 28, "Check ROM"},
        {w.Button3, 56, "Specification"},
        {w.ToolButton1, 84, nullptr},
        {w.Button2, 92, ""},
        {w.Button4, 120, "Rename LDR"},
        {w.ToolButton2, 148, nullptr},
        {w.Button8, 156, "Clear"},
        {w.ToolButton6, 184, "Edit ini"},
        {w.ToolButton3, 212, nullptr},
        {w.Button5, 220, "Save All"},
        {w.ToolButton4, 248, "Dravik for Windwows 2.0"},
        {w.ToolButton5, 276, nullptr},
        {w.ToolButton7, 284, ""},
    };
    for (const auto& item : toolbar) {
        const QString name = item.widget->objectName();
        EXPECT_EQ(item.widget->parentWidget(), w.ToolBar1) << name.toStdString();
        EXPECT_EQ(item.widget->x(), item.x) << name.toStdString();
        EXPECT_EQ(item.widget->width(), item.toolTip ? 28 : 8) << name.toStdString();
        EXPECT_EQ(item.widget->height(), 25) << name.toStdString();
        if (item.toolTip) {
            EXPECT_EQ(item.widget->toolTip(), QString::fromLatin1(item.toolTip))
                << name.toStdString();
        }
        EXPECT_EQ(w.findChild<QWidget*>(name), item.widget);
    }
    EXPECT_EQ(w.Panel3->x(), 312);
    EXPECT_EQ(w.Panel3->size(), QSize(193, 25));
    EXPECT_EQ(w.Panel3->text(), QStringLiteral("Dravik for Windows ver. 2.1"));

    const QPoint gridAt = w.ValueListEditor1->mapTo(&w, QPoint(0, 0));
    EXPECT_EQ(QRect(gridAt, w.ValueListEditor1->size()), QRect(280, 33, 312, 419));
    EXPECT_EQ(w.ValueListEditor1->columnWidth(0), 139);
    EXPECT_EQ(w.ValueListEditor1->model()->headerData(0, Qt::Horizontal).toString(), "Name");
    EXPECT_EQ(w.ValueListEditor1->model()->headerData(1, Qt::Horizontal).toString(), "Value");

    EXPECT_EQ(w.Panel1->geometry(), QRect(0, 33, 280, 419));
    EXPECT_EQ(w.Panel2->height(), 32);
    EXPECT_EQ(w.ShellComboBox1->geometry(), QRect(5, 3, 228, 22));
    EXPECT_EQ(w.SpeedButton1->geometry(), QRect(247, 4, 23, 22));
    EXPECT_EQ(w.ShellListView1->size(), QSize(278, 312));
    EXPECT_EQ(w.FileListBox1->height(), 73);

    // Resizing changes only the browser side.
    w.resize(800, 600);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.ValueListEditor1->width(), 312);
    EXPECT_EQ(w.ValueListEditor1->mapTo(&w, QPoint(0, 0)).x(), 800 - 312);
    EXPECT_EQ(w.FileListBox1->height(), 73);
    EXPECT_EQ(w.ShellComboBox1->width(), 228 + 800 - 592);
    EXPECT_EQ(w.Panel2->width() - w.SpeedButton1->geometry().right() - 1, 8);
    EXPECT_EQ(w.ShellListView1->height(), 312 + 600 - 452);
}

TEST_F(MainWindowTest, StartState) {
    start.write("a.ldr", "x");
    TForm1& w = show();
    EXPECT_EQ(w.context().startFolder, start.path());
    EXPECT_EQ(w.context().workingFolder, "");
    EXPECT_EQ(w.shownFolder(), dravik::kComputerLevel);
    EXPECT_EQ(w.ShellComboBox1->currentText(), QStringLiteral("Computer"));
    // Before any browsing the module commands are enabled, whatever the folder holds.
    EXPECT_TRUE(moduleCommandsEnabled());
    EXPECT_TRUE(w.Button2->isEnabled());
    EXPECT_TRUE(w.Button4->isEnabled());
    EXPECT_FALSE(w.Button5->isEnabled());
    EXPECT_FALSE(w.Button8->isEnabled());
    EXPECT_TRUE(w.ToolButton6->isEnabled());
    EXPECT_TRUE(w.ToolButton4->isEnabled());
    EXPECT_TRUE(w.ToolButton7->isEnabled());
    EXPECT_EQ(loaderNames(w), QStringList{"a.ldr"});
    EXPECT_EQ(w.loaderList().folder(), start.path());
    EXPECT_EQ(dravik::currentDirectory(), start.path());
    // Sharp in a task switcher and on a high-DPI panel too.
    EXPECT_EQ(w.windowIcon().availableSizes(),
              (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {64, 64}, {256, 256}}));
}

TEST_F(MainWindowTest, ChoosingAFolderAppliesTheModuleRuleAndMovesTheLoaderList) {
    TempFolder drives;
    const std::string withModules = drives.makeFolder("with");
    drives.write("with/m.RPM", "x");
    drives.write("with/l.ldr", "x");
    const std::string without = drives.makeFolder("without");
    const std::string onlyFolder = drives.makeFolder("folder");
    drives.makeFolder("folder/x.rpm");
    TForm1& w = show();

    pickFolder(withModules);
    EXPECT_EQ(w.context().workingFolder, withModules);
    EXPECT_TRUE(moduleCommandsEnabled());
    EXPECT_EQ(dravik::currentDirectory(), withModules);
    EXPECT_EQ(loaderNames(w), QStringList{"l.ldr"});
    EXPECT_TRUE(w.Button2->isEnabled());

    pickFolder(without);
    EXPECT_FALSE(moduleCommandsEnabled());
    EXPECT_EQ(dravik::currentDirectory(), without);
    EXPECT_TRUE(loaderNames(w).isEmpty());
    EXPECT_FALSE(w.Button2->isEnabled());
    EXPECT_FALSE(w.Button4->isEnabled());

    pickFolder(onlyFolder);
    EXPECT_FALSE(moduleCommandsEnabled());

    // The computer level: the working folder names no folder, the list stays.
    w.ShellComboBox1->setCurrentIndex(0);
    emit w.ShellComboBox1->activated(0);
    EXPECT_EQ(w.context().workingFolder, dravik::kComputerLevel);
    EXPECT_EQ(w.shownFolder(), dravik::kComputerLevel);
    EXPECT_FALSE(moduleCommandsEnabled());
    EXPECT_EQ(w.loaderList().folder(), onlyFolder);
    EXPECT_EQ(dravik::currentDirectory(), onlyFolder);
    EXPECT_TRUE(dialogs.errors.isEmpty());

    // Following the current directory brings the working folder back.
    w.ShellListView1Change();
    EXPECT_EQ(w.context().workingFolder, onlyFolder);
}

TEST_F(MainWindowTest, ChoosingTheSameFolderTwiceDoesNotRereadTheLoaderList) {
    TempFolder drives;
    const std::string folder = drives.makeFolder("d");
    drives.write("d/a.ldr", "x");
    TForm1& w = show();
    pickFolder(folder);
    selectLoader(0);
    drives.write("d/b.ldr", "x");
    drives.write("d/c.rpm", "x");
    pickFolder(folder);
    EXPECT_EQ(loaderNames(w), QStringList{"a.ldr"}) << "not re-read";
    EXPECT_EQ(w.FileListBox1->currentRow(), 0);
    EXPECT_TRUE(moduleCommandsEnabled()) << "the rule is applied again";
}

// "Dravik FOLDER": the folder is chosen once the window is shown, as if the
// user had picked it; the settings stay those of the start folder.
TEST_F(MainWindowTest, AFolderGivenAtStartIsChosenAsIfPickedInThePathSelector) {
    TempFolder drives;
    const std::string folder = drives.makeFolder("WX31");
    drives.write("WX31/pasport.rpm", pasportModule());
    TForm1& w = show();
    w.chooseFolder(dravik::folderArgument(folder + "/"));
    EXPECT_EQ(w.shownFolder(), folder);
    EXPECT_EQ(w.context().workingFolder, folder);
    EXPECT_EQ(w.context().startFolder, start.path());
    EXPECT_EQ(dravik::currentDirectory(), folder);
    QTest::mouseClick(w.Button6, Qt::LeftButton);
    ASSERT_EQ(w.results().count(), 21u);
    EXPECT_EQ(rowsOf(w)[0], std::make_pair(std::string("Family "), std::string("Ares 64")));
}

TEST_F(MainWindowTest, AFolderThatCannotBeEnteredLeavesTheLoaderListSilently) {
    TempFolder drives;
    const std::string gone = drives.makeFolder("gone");
    start.write("s.ldr", "x");
    TForm1& w = show();
    w.browseTo(gone);
    std::filesystem::remove(gone);
    emit w.ShellComboBox1->activated(w.ShellComboBox1->currentIndex());
    EXPECT_EQ(w.context().workingFolder, gone);
    EXPECT_FALSE(moduleCommandsEnabled());
    EXPECT_EQ(w.loaderList().folder(), start.path());
    EXPECT_EQ(loaderNames(w), QStringList{"s.ldr"});
    EXPECT_EQ(dravik::currentDirectory(), start.path());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

// Backspace in the list, keyboard navigation, only shows the folder above; a
// double-click on an empty place of the list then chooses it. The up button
// chooses it at once, and from the root goes to the computer level, the top.
TEST_F(MainWindowTest, BackspaceShowsTheFolderAboveTheUpButtonAlsoChoosesIt) {
    TempFolder drives;
    const std::string inner = drives.makeFolder("inner");
    drives.write("top.ldr", "x");
    TForm1& w = show();
    pickFolder(inner);
    w.ShellListView1->setFocus();
    QApplication::setActiveWindow(&w);
    QTest::keyClick(w.ShellListView1, Qt::Key_Backspace);
    EXPECT_EQ(w.shownFolder(), drives.path());
    EXPECT_EQ(w.context().workingFolder, inner);
    EXPECT_EQ(w.loaderList().folder(), inner);
    const QPoint empty(w.ShellListView1->viewport()->width() - 5,
                       w.ShellListView1->viewport()->height() - 5);
    ASSERT_FALSE(w.ShellListView1->indexAt(empty).isValid());
    QTest::mouseDClick(w.ShellListView1->viewport(), Qt::LeftButton, {}, empty);
    EXPECT_EQ(w.context().workingFolder, drives.path());
    EXPECT_EQ(loaderNames(w), QStringList{"top.ldr"});

    pickFolder(inner);
    QTest::mouseClick(w.SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(w.shownFolder(), drives.path());
    EXPECT_EQ(w.context().workingFolder, drives.path());
    EXPECT_EQ(dravik::currentDirectory(), drives.path());
    EXPECT_EQ(loaderNames(w), QStringList{"top.ldr"});

    w.browseTo(dravik::testing::utf8Of(dravik::testing::fsPath(drives.path()).root_path()));
    QTest::mouseClick(w.SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(w.shownFolder(), dravik::kComputerLevel);
    QTest::mouseClick(w.SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(w.shownFolder(), dravik::kComputerLevel);
    EXPECT_EQ(w.context().workingFolder, dravik::kComputerLevel);
    EXPECT_FALSE(moduleCommandsEnabled());
    EXPECT_EQ(w.loaderList().folder(), drives.path()) << "the root was only browsed, not chosen";
}

TEST_F(MainWindowTest, PasportFillsTheGridAndTheTitleThenCheckRomAppends) {
    start.write("rom.rpm", romImage());
    TForm1& w = showPasport();
    EXPECT_EQ(w.windowTitle(), QString::fromStdString(start.file("module.rpm") + " Q8.01"));
    ASSERT_EQ(w.results().count(), 21u);
    EXPECT_EQ(rowsOf(w)[0], std::make_pair(std::string("Family "), std::string("Ares 64")));
    EXPECT_EQ(rowsOf(w)[5], std::make_pair(std::string("Serial"),
                                           std::string("ST380011                        ")));
    EXPECT_EQ(w.ValueListEditor1->model()->rowCount(), 21);
    EXPECT_EQ(w.ValueListEditor1->model()->index(0, 1).data().toString(), "Ares 64");

    QTest::mouseClick(w.Button1, Qt::LeftButton);
    const auto rows = rowsOf(w);
    ASSERT_EQ(rows.size(), 25u);
    EXPECT_EQ(rows[21], std::make_pair(std::string("File Name"), std::string("rom.rpm")));
    EXPECT_EQ(rows[22], std::make_pair(std::string("Code FW"), std::string("VAM4019Z")));
    EXPECT_EQ(rows[23], std::make_pair(std::string("Check sum ROM"), std::string("ABCD")));
    EXPECT_EQ(rows[24], std::make_pair(std::string("Status"), std::string("Program A - Main")));
    EXPECT_EQ(w.ValueListEditor1->model()->rowCount(), 25);
}

// In a low window the passport fills more than the grid shows; Check ROM's
// rows come below it.
TEST_F(MainWindowTest, CheckRomAfterPasportScrollsItsFirstRowIntoView) {
    start.write("rom.rpm", romImage());
    TForm1& w = showPasport();
    w.resize(w.width(), 300);
    QTableView& grid = *w.ValueListEditor1;
    QCoreApplication::processEvents();
    const int lastShown = grid.rowAt(grid.viewport()->height() - 1);
    ASSERT_GE(lastShown, 0);
    ASSERT_LT(lastShown, 20) << "the passport alone fills the grid";
    EXPECT_EQ(grid.rowAt(0), 0);

    QTest::mouseClick(w.Button1, Qt::LeftButton);
    QCoreApplication::processEvents();
    const QRect firstRom = grid.visualRect(grid.model()->index(21, 0));
    EXPECT_TRUE(grid.viewport()->rect().contains(firstRom)) << "row 21 at " << firstRom.y();
    EXPECT_EQ(grid.model()->rowCount(), 25);
}

TEST_F(MainWindowTest, SaveAllAsksAndWritesTheReportOnlyOnYes) {
    TForm1& w = showPasport();
    paintGrid();

    dialogs.confirmAnswer = false;
    QTest::mouseClick(w.Button5, Qt::LeftButton);
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(fileContent(start.file("$Dravik.txt")), "<missing>");

    dialogs.confirmAnswer = true;
    QTest::mouseClick(w.Button5, Qt::LeftButton);
    // The grid's rows, each a line as the report's own test pins them.
    const std::string report = fileContent(start.file("$Dravik.txt"));
    EXPECT_TRUE(report.starts_with("Family                   :Ares 64\r\n")) << report;
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 21);
}

TEST_F(MainWindowTest, ClearTurnsSaveAllAndClearOffAtTheNextPaintAndOneRowTurnsThemOn) {
    TForm1& w = showPasport();
    paintGrid();
    ASSERT_TRUE(w.Button8->isEnabled());
    QTest::mouseClick(w.Button8, Qt::LeftButton);
    EXPECT_EQ(w.results().count(), 0u);
    EXPECT_EQ(w.ValueListEditor1->model()->rowCount(), 0);
    paintGrid();
    EXPECT_FALSE(w.Button5->isEnabled());
    EXPECT_FALSE(w.Button8->isEnabled());

    // A single row: both turn on, Save All writes it, Clear takes it away.
    w.results().append("Kept", "one");
    paintGrid();
    EXPECT_TRUE(w.Button5->isEnabled());
    EXPECT_TRUE(w.Button8->isEnabled());
    QTest::mouseClick(w.Button5, Qt::LeftButton);
    EXPECT_EQ(fileContent(start.file("$Dravik.txt")), "Kept                     :one\r\n");
    QTest::mouseClick(w.Button8, Qt::LeftButton);
    EXPECT_EQ(w.ValueListEditor1->model()->rowCount(), 0);
    paintGrid();
    EXPECT_FALSE(w.Button5->isEnabled());
    EXPECT_FALSE(w.Button8->isEnabled());
}

TEST_F(MainWindowTest, CheckLdrFromTheMenuWithAndWithoutASelectedFile) {
    start.write("l.ldr", loaderFile());
    TForm1& w = show();
    ASSERT_EQ(w.PopupMenu1->actions().size(), 1);
    QAction* item = w.PopupMenu1->actions().front();
    EXPECT_EQ(item, w.ACheckLDR);
    EXPECT_EQ(item->text(), "CheckLDR");
    EXPECT_FALSE(item->isIconVisibleInMenu());

    item->trigger();
    finishLoaderJob(w);
    EXPECT_EQ(w.results().count(), 0u) << "no file selected";

    // A right-click opens the menu and leaves the selection alone.
    QTest::mouseClick(w.FileListBox1->viewport(), Qt::RightButton, {},
                      w.FileListBox1->visualItemRect(w.FileListBox1->item(0)).center());
    EXPECT_EQ(w.FileListBox1->currentRow(), -1);
    EXPECT_TRUE(w.PopupMenu1->isVisible());
    w.PopupMenu1->close();

    selectLoader(0);
    item->trigger();
    finishLoaderJob(w);
    const auto rows = rowsOf(w);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], std::make_pair(std::string("Check sum ROM in LDR"), std::string("1A2B")));
    EXPECT_EQ(rows[1], std::make_pair(std::string("Check sum LDR"), std::string("0102")));
    EXPECT_EQ(rows[2], std::make_pair(std::string("Code FW"), std::string("VAM4019Z")));
    EXPECT_EQ(rows[3], std::make_pair(std::string("Family"), std::string("2F_Ares 64")));
    EXPECT_EQ(rows[4], std::make_pair(std::string("Status"), std::string("Program A - Main")));
}

// CheckLDR and Rename LDR need a loader in the list; the menu item stays on.
TEST_F(MainWindowTest, LoaderCommandsNeedALoaderInTheListButTheMenuItemWorksWhileGreyed) {
    TForm1& w = show();
    EXPECT_FALSE(w.Button2->isEnabled());
    EXPECT_FALSE(w.Button4->isEnabled());
    EXPECT_TRUE(w.ACheckLDR->isEnabled());
    w.results().append("kept", "row");
    w.PopupMenu1->actions().front()->trigger();
    EXPECT_EQ(w.results().count(), 1u);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(MainWindowTest, RenameLdrRenamesAndRereadsTheList) {
    start.write("x.ldr", loaderFile());
    start.write("z.ldr", "short");
    TForm1& w = show();
    selectLoader(0);
    QTest::mouseClick(w.Button4, Qt::LeftButton);
    finishLoaderJob(w);
    EXPECT_EQ(loaderNames(w), (QStringList{"1A2B_VAM4019Z.ldr", "z.ldr"}));
    EXPECT_EQ(w.FileListBox1->currentRow(), -1);
    EXPECT_EQ(fileContent(start.file("1A2B_VAM4019Z.ldr")), loaderFile());
    EXPECT_EQ(fileContent(start.file("x.ldr")), "<missing>");
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // The re-read selected nothing: CheckLDR from the menu has no file to check.
    const std::size_t rows = w.results().count();
    w.ACheckLDR->trigger();
    finishLoaderJob(w);
    EXPECT_EQ(w.results().count(), rows);
}

TEST_F(MainWindowTest, ALoaderCommandPressedWhileOneRunsDoesNothing) {
    start.write("x.ldr", loaderFile());
    TForm1& w = show();
    selectLoader(0);
    w.results().append("Earlier", "row");
    w.ACheckLDR->trigger();
    EXPECT_EQ(w.results().count(), 1u) << "the rows come once the worker is done";
    QTest::mouseClick(w.Button4, Qt::LeftButton);
    w.ACheckLDR->trigger();
    finishLoaderJob(w);
    EXPECT_EQ(rowsOf(w).front(),
              std::make_pair(std::string("Check sum ROM in LDR"), std::string("1A2B")));
    EXPECT_EQ(w.results().count(), 5u);
    EXPECT_EQ(loaderNames(w), QStringList{"x.ldr"}) << "not renamed";
    QTest::qWait(50);
    EXPECT_EQ(w.results().count(), 5u) << "checked once";
}

TEST_F(MainWindowTest, ARefusedRenameKeepsBothFilesAndSaysNothing) {
    start.write("x.ldr", loaderFile());
    start.write("1A2B_VAM4019Z.ldr", "other");
    TForm1& w = show();
    selectLoader(1);
    ASSERT_EQ(w.FileListBox1->currentItem()->text(), "x.ldr");
    QTest::mouseClick(w.Button4, Qt::LeftButton);
    EXPECT_EQ(fileContent(start.file("x.ldr")), loaderFile());
    EXPECT_EQ(fileContent(start.file("1A2B_VAM4019Z.ldr")), "other");
    EXPECT_EQ(loaderNames(w), (QStringList{"1A2B_VAM4019Z.ldr", "x.ldr"}));
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(MainWindowTest, RenameLdrWithNothingSelectedLeavesTheListAsItIs) {
    start.write("x.ldr", loaderFile());
    TForm1& w = show();
    QTest::mouseClick(w.Button4, Qt::LeftButton);
    EXPECT_EQ(loaderNames(w), QStringList{"x.ldr"});
    EXPECT_EQ(fileContent(start.file("x.ldr")), loaderFile());
}

// The name of the file at which a failure of the standard library is planted,
// the failure, and the path at which it was raised.
std::string gPlantedAt;
std::function<void()> gPlanted;
std::string gRaisedAt;

void plantedFailure(const std::string& path) {
    if (dravik::nameOf(path) == gPlantedAt) {
        gRaisedAt = path;
        gPlanted();
    }
}

// A failure of the standard library while a command reads or writes a file is
// the command's error report, naming the file; the window goes on.
TEST_F(MainWindowTest, AStandardLibraryFailureBelowACommandIsItsErrorReport) {
    start.write("module.rpm", pasportModule());
    start.write("rom.rpm", romImage());
    start.write("table.rpm", bytesWith(2048, {{0, "version"}}));
    start.write("l.ldr", loaderFile());
    TForm1& w = show();
    selectLoader(0);
    TForm2 editor;
    w.Form2 = &editor;
    const std::function<void()> noMemory = [] { throw std::bad_alloc(); };
    const std::function<void()> tooLong = [] {
        throw std::length_error("basic_string::_M_create");
    };
    const std::function<void()> fileSystem = [] {
        throw std::filesystem::filesystem_error("status",
                                                std::make_error_code(std::errc::io_error));
    };
    const struct {
        QToolButton* command;
        std::string file;
        const std::function<void()>& failure;
        std::string why;
    } cases[] = {
        {w.Button6, "module.rpm", noMemory, "read file \"%1\". Out of memory."},
        {w.Button1, "rom.rpm", tooLong, "read file \"%1\". basic_string::_M_create."},
        {w.Button3, "table.rpm", fileSystem,
         "read file \"%1\". filesystem error: status: Input/output error."},
        {w.Button2, "l.ldr", noMemory, "read file \"%1\". Out of memory."},
        {w.Button4, "l.ldr", tooLong, "read file \"%1\". basic_string::_M_create."},
        {w.Button5, "$Dravik.txt", noMemory, "write file \"%1\". Out of memory."},
        {w.ToolButton6, "Dravik.ini", fileSystem,
         "read file \"%1\". filesystem error: status: Input/output error."},
    };
    dravik::setFileHook(plantedFailure);
    for (const auto& c : cases) {
        w.results().append("Kept", "row");
        w.Button5->setEnabled(true);
        dialogs.errors.clear();
        gPlantedAt = c.file;
        gPlanted = c.failure;
        gRaisedAt.clear();
        c.command->setEnabled(true);
        QTest::mouseClick(c.command, Qt::LeftButton);
        finishLoaderJob(w);
        EXPECT_EQ(dravik::nameOf(gRaisedAt), c.file);
        const QString why = QString::fromStdString(c.why).arg(QString::fromStdString(gRaisedAt));
        EXPECT_EQ(dialogs.errors, QStringList{"Cannot " + why}) << c.file;
    }
    dravik::setFileHook(nullptr);
    EXPECT_EQ(dialogs.editorRuns, 0);
    w.Form2 = nullptr;
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(fileContent(start.file("l.ldr")), loaderFile());
}

TEST_F(MainWindowTest, ALayoutErrorReachesTheCommonErrorReportWithAFullStop) {
    start.write("Dravik.ini",
                "[Mod]\r\n2F=Ares 64\r\n[2F]\r\nSerial=S0,8\r\nCod=#x,4\r\nAfter=S0,2\r\n");
    TForm1& w = showPasport();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(dialogs.errors[0], "'x' is not a valid integer value.");
    // The rows appended before the error stay; the window goes on.
    EXPECT_EQ(w.results().count(), 2u);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(MainWindowTest, AnUnknownTypeLetterIsAPlainMessageAndTheCommandGoesOn) {
    start.write("Dravik.ini", "[Mod]\r\n2F=Ares 64\r\n[2F]\r\nOdd=X0,8\r\nSerial=S0,8\r\n");
    TForm1& w = showPasport();
    EXPECT_EQ(dialogs.messages, QStringList{"Error Code.....(X)"});
    EXPECT_EQ(w.results().count(), 3u);
}

TEST_F(MainWindowTest, DoubleClickOnAFolderOpensItAndChoosesIt) {
    TempFolder drives;
    TForm1& w = show();
    // A name that is not UTF-8 shows as Windows-1251: "Привод".
    const std::pair<std::string, QString> folders[] = {
        {"inner", "inner"},
        {"\xCF\xF0\xE8\xE2\xEE\xE4",
         QString::fromUtf8("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xBE\xD0\xB4")}};
    for (const auto& [name, shown] : folders) {
        const std::string inner = drives.makeFolder(name);
        drives.write(name + "/i.ldr", "x");
        drives.write(name + "/m.rpm", "x");
        pickFolder(drives.path());
        const QModelIndex item = listItemNamed(w, shown);
        ASSERT_TRUE(item.isValid());
        w.ShellListView1DblClick(item);
        EXPECT_EQ(w.shownFolder(), inner);
        EXPECT_EQ(w.context().workingFolder, inner);
        EXPECT_EQ(loaderNames(w), QStringList{"i.ldr"});
        EXPECT_TRUE(moduleCommandsEnabled());
    }
}

TEST_F(MainWindowTest, EditIniWorksOnTheStartFolderWhereverTheBrowserIs) {
    std::filesystem::remove(start.file("Dravik.ini"));
    TempFolder elsewhere;
    TForm2 editor;
    TForm1& w = show();
    w.Form2 = &editor;
    pickFolder(elsewhere.path());
    dialogs.editorAction = [](TForm2&) { return true; };
    QTest::mouseClick(w.ToolButton6, Qt::LeftButton);
    EXPECT_EQ(dialogs.editorRuns, 1);
    EXPECT_EQ(fileContent(start.file("Dravik.ini")), dravik::defaultSettingsContent());
    EXPECT_EQ(fileContent(elsewhere.file("Dravik.ini")), "<missing>");
}

TEST_F(MainWindowTest, EditIniFailureReachesTheCommonErrorReport) {
    std::filesystem::remove(start.file("Dravik.ini"));
    start.makeFolder("Dravik.ini");
    TForm2 editor;
    TForm1& w = show();
    w.Form2 = &editor;
    dialogs.editorAction = [](TForm2&) { return true; };
    QTest::mouseClick(w.ToolButton6, Qt::LeftButton);
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(dialogs.errors[0],
              QString::fromStdString("Cannot create file \"" + start.file("Dravik.ini") + "\". " +
                                     dravik::systemErrorText(dravik::kErrorIsAFolder) + "."));
    EXPECT_TRUE(w.isVisible());
}

TEST_F(MainWindowTest, AClickInTheFolderListReportsAFailureOnce) {
    TempFolder drives;
    drives.write("a.txt", "a");
    const std::string gone = drives.makeFolder("gone");
    TForm1& w = show();
    pickFolder(gone);
    w.browseTo(drives.path());
    ASSERT_TRUE(listItemNamed(w, "gone").isValid());
    // The loader list's folder, the current directory, goes, and the list follows.
    std::filesystem::remove(gone);
    clickListItem(w, 1, "a.txt");
    EXPECT_EQ(dialogs.errors, QStringList{"File not found."});
}

// Each click looks at the folder as it is now: a module that came or went
// since the folder was chosen turns the module commands on or off.
TEST_F(MainWindowTest, AClickInTheFolderListAppliesTheModuleRuleAgain) {
    TempFolder drives;
    drives.write("a.txt", "a");
    drives.write("b.txt", "b");
    TForm1& w = show();
    pickFolder(drives.path());
    ASSERT_FALSE(moduleCommandsEnabled());
    const struct {
        std::function<void()> change;
        int rows; // in the list once it has followed the change
        QString clicked;
        bool enabled;
    } steps[] = {
        {[&] { drives.write("m.rpm", "x"); }, 3, "a.txt", true},
        {[&] { std::filesystem::remove(drives.file("m.rpm")); }, 2, "b.txt", false},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.clicked.toStdString());
        step.change();
        clickListItem(w, step.rows, step.clicked);
        EXPECT_EQ(w.ShellListView1->currentIndex().data().toString(), step.clicked);
        EXPECT_EQ(moduleCommandsEnabled(), step.enabled);
    }
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

// Refresh reads the list again and selects the item at the same place, the
// first one included.
TEST_F(MainWindowTest, RefreshSelectsTheItemAtTheSamePlaceAgain) {
    TempFolder drives;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        drives.write(name, "x");
    TForm1& w = show();
    QListView* list = w.ShellListView1;
    const struct {
        std::string folder;
        int row;
        QString name;
    } cases[] = {{dravik::kComputerLevel, 0, computerLevelEntries().front().text},
                 {drives.path(), 0, "a.txt"}, {drives.path(), 2, "c.txt"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        w.browseTo(c.folder);
        ASSERT_TRUE(listItemNamed(w, c.name).isValid());
        list->setCurrentIndex(list->model()->index(c.row, 0, list->rootIndex()));
        ASSERT_EQ(list->currentIndex().data().toString(), c.name);
        QTest::mouseClick(w.ToolButton7, Qt::LeftButton);
        for (int wait = 0; wait < 300 && !list->currentIndex().isValid(); ++wait)
            QTest::qWait(10);
        EXPECT_EQ(list->currentIndex().row(), c.row);
        EXPECT_EQ(list->currentIndex().data().toString(), c.name);
        EXPECT_EQ(list->selectionModel()->selectedIndexes(), QModelIndexList{list->currentIndex()});
    }
}

TEST_F(MainWindowTest, ARenameInPlaceThatTheFileSystemRefusesIsReported) {
    TempFolder drives;
    drives.write("a.txt", "a");
    drives.write("b.txt", "b");
    TForm1& w = show();
    pickFolder(drives.path());
    const QModelIndex item = listItemNamed(w, "a.txt");
    ASSERT_TRUE(item.isValid());
    auto rename = [&](const QString& name) {
        QLineEdit editor(name);
        w.ShellListView1->itemDelegate()->setModelData(&editor, w.ShellListView1->model(), item);
    };

    rename("b.txt");
    EXPECT_EQ(dialogs.errors, QStringList{"Rename to b.txt failed."});
    EXPECT_EQ(fileContent(drives.file("a.txt")), "a");
    EXPECT_EQ(fileContent(drives.file("b.txt")), "b");

    rename("c.txt");
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(fileContent(drives.file("c.txt")), "a");
}

// Clicks the rows of the grid at indexes, the first plainly, the others with Ctrl.
void selectRows(TForm1& w, std::initializer_list<int> indexes) {
    Qt::KeyboardModifiers modifiers;
    for (const int row : indexes) {
        const QModelIndex name = w.ValueListEditor1->model()->index(row, 0);
        QTest::mouseClick(w.ValueListEditor1->viewport(), Qt::LeftButton, modifiers,
                          w.ValueListEditor1->visualRect(name).center());
        modifiers = Qt::ControlModifier;
    }
}

QAction* gridAction(TForm1& w, const char* name) {
    return w.gridMenu()->menu()->findChild<QAction*>(QString::fromLatin1(name));
}

TEST_F(MainWindowTest, SelectedRowsAreCopiedAsLinesAllRowsAndAsJson) {
    TForm1& w = showPasport(pasportModule("WX\t31004"));
    ASSERT_EQ(w.results().count(), 21u);
    // The menu's commands in their order; the copies of selected rows are
    // greyed while none is selected.
    QMenu* menu = w.gridMenu()->menu();
    EXPECT_EQ(menu->objectName(), "PopupMenu2");
    const auto items = [menu](bool enabledOnly) {
        emit menu->aboutToShow();
        QStringList texts;
        for (const QAction* action : menu->actions())
            if (!enabledOnly || (action->isEnabled() && !action->isSeparator()))
                texts << action->text() + QLatin1Char('|') + action->shortcut().toString();
        return texts.join(QStringLiteral(", ")).toStdString();
    };
    EXPECT_EQ(items(false),
              "Copy|Ctrl+C, Copy all|, Copy as JSON|, |, Bytes|, Compare with\xE2\x80\xA6|Ctrl+D, "
              "Library\xE2\x80\xA6|Ctrl+Shift+F");
    w.ValueListEditor1->clearSelection();
    EXPECT_EQ(items(true),
              "Copy all|, Compare with\xE2\x80\xA6|Ctrl+D, Library\xE2\x80\xA6|Ctrl+Shift+F");
    selectRows(w, {5, 0, 9});
    ASSERT_EQ(w.ValueListEditor1->selectionModel()->selectedRows().size(), 3);
    EXPECT_EQ(items(true), "Copy|Ctrl+C, Copy all|, Copy as JSON|, Bytes|, "
                           "Compare with\xE2\x80\xA6|Ctrl+D, Library\xE2\x80\xA6|Ctrl+Shift+F");

    // Ctrl+C on the grid: the rows in grid order, the blanks that pad a text
    // left out, a tab inside a value made a blank.
    QApplication::clipboard()->clear();
    w.ValueListEditor1->setFocus();
    QApplication::setActiveWindow(&w);
    QTest::keyClick(w.ValueListEditor1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              "Family\tAres 64\nSerial\tWX 31004\nDate (Time)\t0.0.1900 (0:0)\n");
    EXPECT_FALSE(w.ValueListEditor1->isPersistentEditorOpen(w.ValueListEditor1->currentIndex()));

    gridAction(w, "CopyAllRows")->trigger();
    const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 21);
    EXPECT_EQ(lines[20], "Ver. Module\tQ8.01");

    // As JSON: the rows as dravik-cli writes them, an edited one without its source.
    w.ValueListEditor1->model()->setData(w.ValueListEditor1->model()->index(9, 1), "typed");
    gridAction(w, "CopyRowsAsJson")->trigger();
    dravik::testing::JsonValue json;
    ASSERT_NO_THROW(json = dravik::testing::readJson(
                        QApplication::clipboard()->text().toStdString()));
    ASSERT_EQ(json.items.size(), 3u);
    EXPECT_EQ(json[0]["name"].text, "Family ");
    EXPECT_EQ(json[1]["value"].text, "WX\t31004                        ");
    EXPECT_EQ(json[1]["source"]["bytes"].text, "5758093331303034");
    EXPECT_EQ(json[2]["value"].text, "typed");
    EXPECT_EQ(json[2].members.count("source"), 0u);
}

TEST_F(MainWindowTest, AnEditedValueGoesIntoTheReportAndIsItalicWithTheReplacedValueUntilCleared) {
    TForm1& w = showPasport();
    QAbstractItemModel* model = w.ValueListEditor1->model();
    EXPECT_FALSE(model->flags(model->index(5, 0)) & Qt::ItemIsEditable);
    const QModelIndex serial = model->index(5, 1);
    EXPECT_FALSE(serial.data(Qt::FontRole).value<QFont>().italic());
    EXPECT_EQ(serial.data(Qt::ToolTipRole).toString(),
              "module.rpm, offset 0x0 (0), 8 bytes: 53 54 33 38 30 30 31 31 \"ST380011\"; "
              "[2F] Serial=S0,8");

    // Typing over it by the grid's own editor: "Ёж" becomes the Windows-1251
    // bytes A8 E6, "€" is 88, a character without a byte becomes "?".
    w.ValueListEditor1->setCurrentIndex(serial);
    w.ValueListEditor1->edit(serial);
    auto* editor = w.ValueListEditor1->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text().toStdString(), "ST380011                        ") << "opens on the value";
    editor->setText(QString::fromUtf8("\xD0\x81\xD0\xB6 \xE2\x82\xAC \xE4\xB8\xAD"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the editor commits by a queued call
    EXPECT_EQ(w.results().row(5).value, "\xA8\xE6 \x88 ?");
    EXPECT_TRUE(serial.data(Qt::FontRole).value<QFont>().italic());
    EXPECT_TRUE(serial.data(Qt::ToolTipRole).toString().startsWith(
        "Edited; it replaced \"ST380011                        \"\nmodule.rpm, offset 0x0"));
    EXPECT_FALSE(model->index(5, 0).data(Qt::FontRole).value<QFont>().italic());
    // A double-click opens the editor again, on the value as it is now.
    const QPoint cell = w.ValueListEditor1->visualRect(serial).center();
    QTest::mouseClick(w.ValueListEditor1->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(w.ValueListEditor1->viewport(), Qt::LeftButton, {}, cell);
    QLineEdit* reopened = nullptr;
    for (QLineEdit* open : w.ValueListEditor1->findChildren<QLineEdit*>())
        if (open->isVisible())
            reopened = open;
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->text().toStdString(), "\xD0\x81\xD0\xB6 \xE2\x82\xAC ?");
    QTest::keyClick(reopened, Qt::Key_Escape);
    paintGrid();
    QTest::mouseClick(w.Button5, Qt::LeftButton);
    EXPECT_NE(fileContent(start.file("$Dravik.txt"))
                  .find("\r\nSerial                   :\xA8\xE6 \x88 ?\r\n"),
              std::string::npos);

    // Typing the decoded value back removes the mark; so does Clear.
    model->setData(serial, "ST380011                        ");
    EXPECT_FALSE(serial.data(Qt::FontRole).value<QFont>().italic());
    model->setData(serial, "again");
    QTest::mouseClick(w.Button8, Qt::LeftButton);
    QTest::mouseClick(w.Button6, Qt::LeftButton);
    EXPECT_FALSE(model->index(5, 1).data(Qt::FontRole).value<QFont>().italic());
}

TEST_F(MainWindowTest, BytesShowsTheModuleWithTheRowsBytesMarkedAndFollowsTheCurrentRow) {
    // The version's last bytes: a control, a letter and an unassigned byte.
    std::string module = pasportModule();
    module.replace(507, 3, "\x7F\x80\x98");
    module.replace(184, 14, "ABCDEFGHIJKLMN");
    TForm1& w = showPasport(module);
    selectRows(w, {5});
    QAction* bytes = gridAction(w, "ShowBytes");
    emit w.gridMenu()->menu()->aboutToShow();
    ASSERT_TRUE(bytes->isEnabled());
    bytes->trigger();
    BytesWindow* window = w.showBytesItem()->window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Bytes");
    auto marked = [window] {
        QStringList texts;
        for (const QTextEdit::ExtraSelection& mark : window->view()->extraSelections())
            texts << mark.cursor.selectedText();
        return texts;
    };
    // The whole module, 32 lines; Serial's bytes at 0 in hex and as text.
    EXPECT_EQ(window->view()->document()->blockCount(), 33);
    EXPECT_EQ(marked(), (QStringList{"53 54 33 38 30 30 31 31", "ST380011"}));
    EXPECT_TRUE(window->status()->text().endsWith("[2F] Serial=S0,8"));

    // Another row: "Ver. Module" at 505, its odd bytes shown as text; its
    // tooltip shows them too.
    selectRows(w, {20});
    const QString version = QString::fromUtf8("Q8.\xD0\x82.");
    EXPECT_EQ(marked(), (QStringList{"51 38 7F 80 98", version}));
    EXPECT_EQ(w.ValueListEditor1->model()->index(20, 1).data(Qt::ToolTipRole).toString(),
              "module.rpm, offset 0x1F9 (505), 5 bytes: 51 38 7F 80 98 \"" + version +
                  "\"; [2F] Ver. Module=S505,5");
    // "None1" at 184 runs over the end of the line at 192: both lines' columns.
    selectRows(w, {15});
    EXPECT_EQ(marked(),
              (QStringList{"41 42 43 44 45 46 47 48", "ABCDEFGH", "49 4A 4B 4C 4D 4E", "IJKLMN"}));

    // Check ROM appends rows 21 to 28, the last image's code without its mark
    // and so its status read from no file; then the specification row.
    start.write("rom.rpm", romImage());
    std::string unmarked = romImage();
    unmarked[102] = 'z';
    start.write("rom2.rpm", unmarked);
    start.write("specification.rpm", bytesWith(2048, {{0, "version 00 213"}}));
    QTest::mouseClick(w.Button1, Qt::LeftButton);
    QTest::mouseClick(w.Button3, Qt::LeftButton);
    ASSERT_EQ(rowsOf(w)[29].first, "Specification");
    selectRows(w, {28});
    emit w.gridMenu()->menu()->aboutToShow();
    EXPECT_FALSE(bytes->isEnabled());
    // The window keeps nothing of the row before.
    EXPECT_EQ(window->status()->text(), "This row was not read from a file.");
    EXPECT_TRUE(window->view()->document()->isEmpty());
    EXPECT_EQ(marked().join(QString()), "");
    // A specification module of 2048 bytes is shown whole; around a value in
    // a ROM image's first 256 bytes the lines begin at the file's start.
    selectRows(w, {29});
    EXPECT_EQ(window->view()->document()->blockCount(), 129);
    selectRows(w, {22});
    EXPECT_EQ(marked(), (QStringList{"41 56 34 4D 31 30 5A 39", "AV4M10Z9"}));
    EXPECT_TRUE(window->view()->document()->firstBlock().text().startsWith("00000000  "));
    EXPECT_EQ(window->view()->document()->blockCount(), 24);
    selectRows(w, {20});
    emit w.gridMenu()->menu()->aboutToShow();

    // The file changed since the command: said in the window, no error box.
    std::string changed = module;
    changed[505] = 'X';
    start.write("module.rpm", changed);
    bytes->trigger();
    EXPECT_TRUE(window->status()->text().contains("has changed since the command"));
    EXPECT_EQ(marked(), (QStringList{"58 38 7F 80 98", "X8.\xD0\x82."}));
    std::filesystem::remove(start.file("module.rpm"));
    bytes->trigger();
    EXPECT_TRUE(window->status()->text().endsWith("the file is gone since the command."));
    EXPECT_TRUE(window->view()->document()->isEmpty());
    EXPECT_EQ(marked().join(QString()), "");
    EXPECT_TRUE(dialogs.errors.isEmpty());
    // Esc closes it, as it closes the other windows beside the main one.
    QApplication::setActiveWindow(window);
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

// Each command's key clicks its button from anywhere in the window, and does
// nothing while the button is greyed.
TEST_F(MainWindowTest, ShortcutsRunTheToolbarCommandsAndEveryControlHasAnAccessibleName) {
    start.write("module.rpm", pasportModule());
    TForm1& w = show();
    QApplication::setActiveWindow(&w);
    w.FileListBox1->setFocus();
    const struct {
        QToolButton* button;
        QKeySequence keys;
    } commands[] = {
        {w.Button6, QKeySequence("Ctrl+P")},       {w.Button1, QKeySequence("Ctrl+R")},
        {w.Button3, QKeySequence("Ctrl+T")},       {w.Button2, QKeySequence("Ctrl+L")},
        {w.Button4, QKeySequence("Ctrl+Shift+L")}, {w.Button8, QKeySequence("Ctrl+Shift+Del")},
        {w.ToolButton6, QKeySequence("Ctrl+I")},   {w.Button5, QKeySequence("Ctrl+S")},
        {w.ToolButton4, QKeySequence("F1")},       {w.ToolButton7, QKeySequence("Ctrl+F5")},
    };
    for (const auto& command : commands) {
        SCOPED_TRACE(command.button->objectName().toStdString());
        QSignalSpy clicks(command.button, &QToolButton::clicked);
        auto* shortcut = w.findChild<QAction*>(command.button->objectName() + "Shortcut");
        ASSERT_NE(shortcut, nullptr);
        EXPECT_EQ(shortcut->shortcut(), command.keys);
        EXPECT_FALSE(command.button->accessibleName().isEmpty());
        EXPECT_TRUE(command.button->accessibleDescription().contains(
            command.keys.toString(QKeySequence::NativeText)));
        if (command.button == w.ToolButton6 || command.button == w.Button5)
            continue; // a modal editor or question would wait for an answer
        paintGrid(); // applies the rule of Save All and Clear
        const bool enabled = command.button->isEnabled();
        QTest::keySequence(&w, command.keys);
        EXPECT_EQ(clicks.size(), enabled ? 1 : 0);
    }
    EXPECT_EQ(w.results().count(), 0u) << "Pasport, then Clear";
    // F1 clicked About: the product's web address.
    EXPECT_EQ(dialogs.messages, QStringList{"https://www.dravik.dev"});
    for (QWidget* control : std::initializer_list<QWidget*>{
             w.SpeedButton1, w.ShellComboBox1, w.ShellListView1, w.FileListBox1,
             w.ValueListEditor1}) {
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        EXPECT_FALSE(control->accessibleDescription().isEmpty());
    }
}

TEST(ImageList, OnADarkPaletteBlackStrokesGetALightEdgeAndNothingElseChanges) {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    EXPECT_TRUE(isDarkPalette(dark));
    EXPECT_FALSE(isDarkPalette(QPalette(QColor(240, 240, 240))));
    // The sum sign (1), the Specification plug (3), the wrench (6).
    for (const int index : {1, 3, 6}) {
        SCOPED_TRACE(index);
        const QImage light = imageListImage(index).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage edged =
            withLightEdges(imageListImage(index)).toImage().convertToFormat(QImage::Format_ARGB32);
        int edges = 0;
        for (int y = 0; y < light.height(); ++y) {
            for (int x = 0; x < light.width(); ++x) {
                if (light.pixel(x, y) == edged.pixel(x, y))
                    continue;
                // Only clear pixels change, and they become light.
                EXPECT_LT(qAlpha(light.pixel(x, y)), 128);
                EXPECT_GT(qGray(edged.pixel(x, y)), 200);
                ++edges;
            }
        }
        EXPECT_GT(edges, 10);
    }
    // The olive, red and yellow images have no black stroke on a clear pixel
    // to edge: the question ball and the circular arrow stay as they are.
    for (const int index : {7, 9})
        EXPECT_EQ(withLightEdges(imageListImage(index)).toImage().convertToFormat(
                      QImage::Format_ARGB32),
                  imageListImage(index).toImage().convertToFormat(QImage::Format_ARGB32));
}

} // namespace
