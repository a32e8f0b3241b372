#include "app/compare/compare_window.h"
#include "app/compare/compare_with.h"
#include "app/main_window/main_window.h"
#include "app/shared/native_path.h"
#include "cli/json_reader.h"
#include "fake_dialogs.h"
#include "platform/file_system.h"
#include "results/row_json.h"
#include "settings/default_settings.h"
#include "support/test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
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

// The rows of the Compare window's grid that are marked, as they read, each
// block's heading as "# title".
QStringList markedRows(const CompareWindow& window) {
    QStringList marked;
    const QAbstractItemModel* model = window.grid()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QString name = model->index(row, 0).data().toString();
        if (window.lineAt(row).pair == nullptr)
            marked << QStringLiteral("# ") + name;
        else if (!name.startsWith(QLatin1Char('=')))
            marked << name + QLatin1Char('|') + model->index(row, 1).data().toString() +
                          QLatin1Char('|') + model->index(row, 2).data().toString();
    }
    return marked;
}

// Waits until the window shows what it read.
void waitUntilShown(CompareWindow& window) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.reading(); }, 10000));
}

// The Compare window that Ctrl+D opens on the folder the user picks.
CompareWindow* compareWith(TForm1& w, FakeDialogs& dialogs, const std::string& other) {
    dialogs.folderAnswer = QString::fromStdString(other);
    QApplication::setActiveWindow(&w);
    QTest::keySequence(&w, QKeySequence("Ctrl+D"));
    CompareWindow* compare = w.compareWithItem()->window();
    if (compare != nullptr)
        waitUntilShown(*compare);
    return compare;
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

    CompareWindow* compare = compareWith(w, dialogs, twin);
    EXPECT_EQ(dialogs.folderStarts, QStringList{nativeToQString(start.path())});
    ASSERT_NE(compare, nullptr);
    EXPECT_TRUE(compare->isVisible());
    EXPECT_FALSE(compare->isModal());
    // The passport's heading and rows, then the heading of a ROM check that found no image.
    ASSERT_EQ(compare->grid()->model()->rowCount(), 23);
    EXPECT_EQ(markedRows(*compare),
              (QStringList{"# Passport", "!  Serial|WX310041|WX310077", "# Check ROM"}));
    const QModelIndex serial = compare->grid()->model()->index(6, 1);
    EXPECT_TRUE(serial.data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(compare->grid()->model()->index(5, 1).data(Qt::BackgroundRole).isValid());
    EXPECT_EQ(serial.data(Qt::ToolTipRole).toString().toStdString(),
              "WX310041\nThis folder: pasport.rpm, offset 0x0 (0), 8 bytes: 57 58 33 31 30 30 34 "
              "31 \"WX310041\"; [2F] Serial=S0,8");
    EXPECT_TRUE(
        compare->grid()
            ->model()
            ->index(6, 2)
            .data(Qt::ToolTipRole)
            .toString()
            .startsWith("WX310077\nThe other folder: pasport.rpm, offset 0x0 (0), 8 bytes: 57 58 "
                        "33 31 30 30 37 37"));
    // The main window is as it was, its working folder still current.
    EXPECT_EQ(w.results().rows(), rows);
    EXPECT_EQ(w.windowTitle(), title);
    EXPECT_EQ(dravik::currentDirectory(), one);

    compare->onlyDifferences()->setChecked(true);
    EXPECT_EQ(compare->grid()->model()->rowCount(), 3);
    // Copy all copies the rows shown; Copy as JSON the selected ones with both sources.
    compare->menu()->findChild<QAction*>("CopyAllRows")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(),
              "#\tPassport\n!\tSerial\tWX310041\tWX310077\n#\tCheck ROM\n");
    compare->grid()->selectRow(1);
    compare->menu()->findChild<QAction*>("CopyRowsAsJson")->trigger();
    const dravik::testing::JsonValue json =
        dravik::testing::readJson(QApplication::clipboard()->text().toStdString());
    EXPECT_EQ(json[0]["a"]["source"]["bytes"].text, "5758333130303431");
    EXPECT_EQ(json[0]["b"]["source"]["bytes"].text, "5758333130303737");
    // Refresh reads both folders again; the twin then has no passport module.
    std::filesystem::remove(twin + "/pasport.rpm");
    QPushButton* refresh = compare->findChild<QPushButton*>("Refresh");
    QTest::mouseClick(refresh, Qt::LeftButton);
    EXPECT_FALSE(refresh->isEnabled());
    waitUntilShown(*compare);
    EXPECT_TRUE(refresh->isEnabled());
    EXPECT_EQ(compare->grid()->model()->rowCount(), 23);
    EXPECT_TRUE(markedRows(*compare).at(1).startsWith("<  Family|Ares 64|"));
    EXPECT_TRUE(compare->status()->text().contains("The other folder: no passport rows"));
}

std::string romImage(std::string_view storedCode, char checksum) {
    return bytesWith(131072,
                     {{96, storedCode}, {4000, "DISK"}, {131070, std::string(1, checksum)}});
}

std::string loader(char romChecksum) {
    return bytesWith(131584 + 16, {{608, "AV4M10Z9"}, {131582, std::string(1, romChecksum)}});
}

// A drive folder with every kind of block, and a twin that differs in a few rows.
struct Twins {
    TempFolder start;
    std::string one = start.makeFolder("one");
    std::string twin = start.makeFolder("twin");

    Twins() {
        // The window starts in one, whose settings it reads.
        start.write("one/Dravik.ini", dravik::defaultSettingsContent());
        const std::string table = bytesWith(2048, {{0, "version"}, {12, "123"}, {64, "HEADS"}});
        for (const char* folder : {"one", "twin"}) {
            start.write(std::string(folder) + "/specification.rpm", table);
            start.write(std::string(folder) + "/rom.rpm", romImage("AV4M10Z9", 'A'));
        }
        start.write("one/pasport.rpm", pasportModule("WX310041"));
        start.write("twin/pasport.rpm", pasportModule("WX310077"));
        start.write("one/rom-b.rpm", romImage("BV4M10Z9", 'B'));
        start.write("one/ares.ldr", loader('A'));
        start.write("twin/ares.ldr", loader('C'));
    }
};

// The main window as it starts in the first of the twins, before any command.
class FreshStart : public ::testing::Test {
  protected:
    void SetUp() override {
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    }

    Twins twins;
    CurrentDirectoryGuard inOne{twins.one};
    FakeDialogs dialogs;
    TForm1 w{dialogs};
};

TEST_F(FreshStart, CompareWithShowsEveryBlockOfTheDriveAndMarksExactlyTheDifferences) {
    CompareWindow* compare = compareWith(w, dialogs, twins.twin);

    ASSERT_NE(compare, nullptr);
    EXPECT_EQ(compare->windowTitle(), "Compare Passport: " + nativeToQString(twins.one) + " and " +
                                          nativeToQString(twins.twin));
    EXPECT_EQ(markedRows(*compare).join('\n').toStdString(),
              "# Passport\n!  Serial|WX310041|WX310077\n# Specification\n"
              "# Check ROM: rom-b.rpm\n<  File Name|rom-b.rpm|\n<  Code FW|VBM4019Z|\n"
              "<  Check sum ROM|0042|\n<  Status|Program B - Additional|\n"
              "# Check ROM: rom.rpm\n# Loader: ares.ldr\n!  Check sum ROM in LDR|0041|0043");
    EXPECT_TRUE(compare->status()->text().startsWith("6 of "))
        << compare->status()->text().toStdString();
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(FreshStart, CompareClosesByKeysOpensOffsetSavesWhatItShowsAndSaysWhatIsMissing) {
    CompareWindow* first = compareWith(w, dialogs, twins.twin);
    ASSERT_NE(first, nullptr);
    CompareWindow* second = compareWith(w, dialogs, twins.twin);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->pos(), first->pos() + QPoint(32, 32));

    // Save comparison writes the rows shown as tab-separated values, whole.
    second->onlyDifferences()->setChecked(true);
    dialogs.saveAnswer = QString::fromStdString(twins.start.file("saved.tsv"));
    QTest::mouseClick(second->findChild<QPushButton*>("SaveComparison"), Qt::LeftButton);
    const std::string saved = dravik::testing::fileContent(twins.start.file("saved.tsv"));
    EXPECT_TRUE(saved.starts_with("#\tPassport\t" + dravik::tsvField(twins.one) + "\t" +
                                  dravik::tsvField(twins.twin) +
                                  "\n!\tSerial\tWX310041" + std::string(24, ' ') + "\tWX310077" +
                                  std::string(24, ' ') + "\n#\tSpecification\t"))
        << saved;
    EXPECT_EQ(dialogs.errors, QStringList{});

    // Families that differ are said first.
    twins.start.write("twin/pasport.rpm", bytesWith(512, {{128, "2B"}, {505, "Q8.01"}}));
    QTest::mouseClick(second->findChild<QPushButton*>("Refresh"), Qt::LeftButton);
    waitUntilShown(*second);
    EXPECT_TRUE(second->status()->text().startsWith("Families differ: Ares 64 and Athena.\n"))
        << second->status()->text().toStdString();

    // A deleted other folder is said as such.
    std::filesystem::remove_all(twins.twin);
    QTest::mouseClick(second->findChild<QPushButton*>("Refresh"), Qt::LeftButton);
    waitUntilShown(*second);
    EXPECT_EQ(second->status()->text(),
              "The other folder: deleted or moved: " + nativeToQString(twins.twin));
    EXPECT_EQ(second->grid()->model()->rowCount(), 0);

    QApplication::setActiveWindow(first);
    QTest::keyClick(first, Qt::Key_Escape);
    EXPECT_FALSE(first->isVisible());
    QApplication::setActiveWindow(second);
    QTest::keySequence(second, QKeySequence("Ctrl+W"));
    EXPECT_FALSE(second->isVisible());

#ifndef _WIN32
    // Without a working folder nothing opens, and the user is told why.
    // (Windows keeps a folder that the window watches until the window lets
    // it go, so there it can't go from under the window.)
    w.chooseFolder(twins.one);
    CurrentDirectoryGuard inStart{twins.start.path()};
    std::filesystem::remove_all(twins.one);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(compareWith(w, dialogs, twins.start.path()), nullptr);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.first().contains("no longer there"))
        << dialogs.messages.first().toStdString();
#endif
}

} // namespace
