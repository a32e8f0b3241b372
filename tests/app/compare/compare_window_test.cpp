#include "app/compare/compare_window.h"
#include "app/compare/compare_with.h"
#include "app/main_window/main_window.h"
#include "app/shared/native_path.h"
#include "cli/json_reader.h"
#include "fake_dialogs.h"
#include "platform/file_system.h"
#include "settings/default_settings.h"
#include "support/test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using dravik::testing::bytesWith;
using dravik::testing::CurrentDirectoryGuard;
using dravik::testing::TempFolder;

std::string pasportModule(std::string_view serial) {
    return bytesWith(512, {{0, serial}, {128, "2F"}, {505, "Q8.01"}});
}

// The rows of the Compare window's grid that are marked, as they read.
QStringList markedRows(const CompareWindow& window) {
    QStringList marked;
    const QAbstractItemModel* model = window.grid()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QString name = model->index(row, 0).data().toString();
        if (!name.startsWith(QLatin1Char('=')))
            marked << name + QLatin1Char('|') + model->index(row, 1).data().toString() +
                          QLatin1Char('|') + model->index(row, 2).data().toString();
    }
    return marked;
}

TEST(CompareWindow, ComparesTheGridsCommandWithAnotherFolderAndMarksTheDifferingRows) {
    TempFolder start;
    start.write("Dravik.ini", dravik::defaultSettingsContent());
    const std::string one = start.makeFolder("one");
    const std::string twin = start.makeFolder("twin");
    start.write("one/pasport.rpm", pasportModule("WX310041"));
    start.write("twin/pasport.rpm", pasportModule("WX310077"));
    CurrentDirectoryGuard inStart{start.path()};
    FakeDialogs dialogs;
    TForm1 w(dialogs);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.chooseFolder(one);
    QTest::mouseClick(w.Button6, Qt::LeftButton);
    const std::vector<dravik::ResultRow> rows = w.results().rows();
    const QString title = w.windowTitle();

    dialogs.folderAnswer = QString::fromStdString(twin);
    QApplication::setActiveWindow(&w);
    QTest::keySequence(&w, QKeySequence("Ctrl+D"));
    EXPECT_EQ(dialogs.folderStarts, QStringList{nativeToQString(start.path())});
    CompareWindow* compare = w.compareWithItem()->window();
    ASSERT_NE(compare, nullptr);
    EXPECT_TRUE(compare->isVisible());
    EXPECT_FALSE(compare->isModal());
    ASSERT_EQ(compare->grid()->model()->rowCount(), 21);
    EXPECT_EQ(markedRows(*compare), QStringList{"!  Serial|WX310041|WX310077"});
    const QModelIndex serial = compare->grid()->model()->index(5, 1);
    EXPECT_TRUE(serial.data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(compare->grid()->model()->index(4, 1).data(Qt::BackgroundRole).isValid());
    EXPECT_EQ(serial.data(Qt::ToolTipRole).toString().toStdString(),
              "This folder: pasport.rpm, offset 0x0 (0), 8 bytes: 57 58 33 31 30 30 34 31 "
              "\"WX310041\"; [2F] Serial=S0,8");
    EXPECT_TRUE(
        compare->grid()
            ->model()
            ->index(5, 2)
            .data(Qt::ToolTipRole)
            .toString()
            .startsWith(
                "The other folder: pasport.rpm, offset 0x0 (0), 8 bytes: 57 58 33 31 30 30 37 37"));
    // The main window is as it was, its working folder still current.
    EXPECT_EQ(w.results().rows(), rows);
    EXPECT_EQ(w.windowTitle(), title);
    EXPECT_EQ(dravik::currentDirectory(), one);

    compare->onlyDifferences()->setChecked(true);
    EXPECT_EQ(compare->grid()->model()->rowCount(), 1);
    // Copy all copies the rows shown; Copy as JSON the selected ones with both sources.
    compare->menu()->findChild<QAction*>("CopyAllRows")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "!\tSerial\tWX310041\tWX310077\n");
    compare->grid()->selectRow(0);
    compare->menu()->findChild<QAction*>("CopyRowsAsJson")->trigger();
    const dravik::testing::JsonValue json =
        dravik::testing::readJson(QApplication::clipboard()->text().toStdString());
    EXPECT_EQ(json[0]["a"]["source"]["bytes"].text, "5758333130303431");
    EXPECT_EQ(json[0]["b"]["source"]["bytes"].text, "5758333130303737");
    // Refresh reads both folders again; the twin then has no passport module.
    std::filesystem::remove(twin + "/pasport.rpm");
    QTest::mouseClick(compare->findChild<QPushButton*>("Refresh"), Qt::LeftButton);
    EXPECT_EQ(compare->grid()->model()->rowCount(), 21);
    EXPECT_TRUE(markedRows(*compare).first().startsWith("<  Family|Ares 64|"));
    EXPECT_TRUE(compare->status()->text().contains("The other folder: no passport rows"));
}

TEST(CompareWindow, TheCommandIsThatOfTheGridsLastBlockOfRows) {
    const std::pair<std::vector<std::string>, CompareCommand> cases[] = {
        {{}, CompareCommand::Pasport},
        {{"Family ", "Serial"}, CompareCommand::Pasport},
        {{"Family ", "Serial", "File Name", "Code FW"}, CompareCommand::CheckRom},
        {{"File Name", "Status", "Specification", "Heads"}, CompareCommand::Specification},
        {{"Check sum ROM in LDR", "Family", "Status"}, CompareCommand::Pasport},
    };
    for (const auto& [names, command] : cases) {
        std::vector<dravik::ResultRow> rows;
        for (const std::string& name : names)
            rows.push_back({name, "v"});
        EXPECT_EQ(commandShown(rows), command) << names.size();
    }
}

} // namespace
