#include "app/compare/compare_window.h"
#include "app/library/library_window.h"
#include "app/library/open_library.h"
#include "app/main_window/main_window.h"
#include "app/shared/native_path.h"
#include "fake_dialogs.h"
#include "platform/file_system.h"
#include "settings/default_settings.h"
#include "support/test_support.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

using dravik::testing::bytesWith;
using dravik::testing::CurrentDirectoryGuard;
using dravik::testing::TempFolder;

// A drive folder as the default settings read it: a passport module of the
// family "2F" or "2B" with its serial and firmware code, and a ROM image of
// that code (stored pairwise swapped) with its checksum word.
void writeDrive(const TempFolder& top, const std::string& name, std::string_view family,
                std::string_view serial, std::string_view code, std::string_view checksum) {
    std::string storedCode(code);
    for (std::size_t i = 0; i + 1 < storedCode.size(); i += 2)
        std::swap(storedCode[i], storedCode[i + 1]);
    top.makeFolder(name);
    top.write(name + "/pasport.rpm", bytesWith(512, {{0, serial},
                                                     {57, "R07"},
                                                     {66, "HDA"},
                                                     {70, "C12"},
                                                     {128, family},
                                                     {152, code},
                                                     {344, "20-7X"},
                                                     {505, "Q8A07"}}));
    top.write(name + "/rom.rpm",
              bytesWith(131072, {{96, storedCode}, {4096, "DISK"}, {131070, checksum}}));
}

// The texts of the table's lines, cells joined by "|".
QStringList tableLines(const LibraryWindow& library, int columns) {
    QStringList lines;
    const QAbstractItemModel* model = library.drives()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < columns; ++column)
            cells << model->index(row, column).data().toString();
        lines << cells.join(QLatin1Char('|'));
    }
    return lines;
}

// Lets the window's workers end until done holds.
bool waitUntil(LibraryWindow& library, const std::function<bool()>& done) {
    QSignalSpy ended(&library, &LibraryWindow::workEnded);
    while (!done()) {
        if (!ended.wait(20000))
            return false;
    }
    return true;
}

// The window of one test on its own library file, beside a main window
// started in a start folder of three drives, a folder of notes and the
// default settings.
class LibraryWindowTest : public ::testing::Test {
  protected:
    LibraryWindowTest() {
        start.write("Dravik.ini", dravik::defaultSettingsContent());
        writeDrive(start, "drives/ares-64", "2F", "WX310041", "VAM4019Z", "\x2B\x1A");
        writeDrive(start, "drives/ares-64-twin", "2F", "WX310077", "VAM4019Z", "\x36\x1A");
        writeDrive(start, "drives/athena", "2B", "WX310517", "WAH3112Z", "\x2C\x1B");
        start.makeFolder("drives/notes");
        start.write("drives/notes/read-me.txt", "not a drive");
        qputenv("DRAVIK_LIBRARY", QByteArray::fromStdString(start.file("library.sqlite")));
    }
    ~LibraryWindowTest() override { qunsetenv("DRAVIK_LIBRARY"); }

    LibraryWindow& openLibrary() {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        QApplication::setActiveWindow(&form);
        QTest::keySequence(&form, QKeySequence("Ctrl+Shift+F"));
        LibraryWindow* library = form.openLibraryItem()->window();
        EXPECT_NE(library, nullptr);
        EXPECT_TRUE(
            waitUntil(*library, [&] { return !library->heading()->text().endsWith(u'…'); }));
        return *library;
    }

    void addFolder(LibraryWindow& library, const std::string& folder) {
        form.chooseFolder(folder);
        QTest::mouseClick(library.addButton(), Qt::LeftButton);
        EXPECT_TRUE(library.progress()->isVisible());
        ASSERT_TRUE(waitUntil(library, [&] { return library.addButton()->isEnabled(); }));
        ASSERT_TRUE(waitUntil(library, [&] { return !library.heading()->text().endsWith(u'…'); }));
    }

    // The drive folder name below the start folder's "drives", or that folder.
    std::string drive(std::string_view name) const {
        return name.empty() ? start.file("drives") : dravik::joinPath(start.file("drives"), name);
    }

    TempFolder start;
    CurrentDirectoryGuard inStart{start.path()};
    FakeDialogs dialogs;
    TForm1 form{dialogs};
};

TEST_F(LibraryWindowTest, AddsTheDriveFoldersAndRanksTheTwinFirstAmongTheDonors) {
    LibraryWindow& library = openLibrary();
    EXPECT_TRUE(library.isVisible());
    EXPECT_FALSE(library.isModal());
    EXPECT_EQ(library.heading()->text(), "0 drives");

    addFolder(library, drive(""));
    EXPECT_EQ(library.status()->text(),
              "Added 3 of 3 drive folders: 3 stored, 0 unchanged, 0 failed.");
    EXPECT_EQ(tableLines(library, 5), (QStringList{"ares-64|Ares 64|VAM4019Z|WX310041|20-7X",
                                                   "ares-64-twin|Ares 64|VAM4019Z|WX310077|20-7X",
                                                   "athena|Athena|WAH3112Z|WX310517|20-7X"}));
    addFolder(library, drive(""));
    EXPECT_EQ(library.status()->text(),
              "Added 3 of 3 drive folders: 0 stored, 3 unchanged, 0 failed.");
    // Sorted by serial, the last drive comes first, and a double-click
    // chooses the drive on the line clicked.
    library.drives()->sortByColumn(3, Qt::DescendingOrder);
    EXPECT_EQ(tableLines(library, 1), (QStringList{"athena", "ares-64-twin", "ares-64"}));
    const QPoint first =
        library.drives()->visualRect(library.drives()->model()->index(0, 0)).center();
    QTest::mouseClick(library.drives()->viewport(), Qt::LeftButton, {}, first);
    QTest::mouseDClick(library.drives()->viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(form.context().workingFolder, drive("athena"));

    // The folder of drives is no drive itself.
    form.chooseFolder(drive(""));
    QTest::mouseClick(library.donorsButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil(library, [&] { return !library.status()->text().isEmpty(); }));
    EXPECT_EQ(library.status()->text().toStdString(),
              "No drive in " + drive("") + ": a drive folder holds .rpm or .ldr files");
    form.chooseFolder(drive("ares-64"));
    QTest::mouseClick(library.donorsButton(), Qt::LeftButton);
    ASSERT_TRUE(waitUntil(library, [&] { return library.heading()->text().startsWith("Donors"); }));
    // Rank, agreeing, label, then a mark per match row: the family, the
    // firmware code, the board's number and configuration, the head-disk
    // assembly agree; the ROM's checksum differs. The drive itself is not listed.
    const QStringList lines = tableLines(library, 14);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("1|5 of 6|ares-64-twin|")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("|=|=|=|=|=|\u2260")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("2|3 of 6|athena|")) << lines[1].toStdString();
    const QAbstractItemModel* model = library.drives()->model();
    EXPECT_EQ(model->headerData(13, Qt::Horizontal).toString(), "Check sum ROM");
    const QModelIndex agrees = model->index(0, 8);
    const QModelIndex differs = model->index(0, 13);
    EXPECT_NE(agrees.data(Qt::BackgroundRole), differs.data(Qt::BackgroundRole));
    EXPECT_EQ(differs.data(Qt::ToolTipRole).toString(),
              "Check sum ROM differs\nThe working folder: 1A2B\nares-64-twin: 1A36");

    // Compare with… holds the working folder against the drive in a Compare window.
    library.drives()->selectRow(0);
    library.menu()->findChild<QAction*>("LibraryCompareWith")->trigger();
    const QList<CompareWindow*> compared = form.findChildren<CompareWindow*>();
    ASSERT_EQ(compared.size(), 1);
    EXPECT_TRUE(compared.front()->isVisible());

    // A double-click makes a drive's folder the working folder; a drive whose
    // folder went is said so, and the working folder stays.
    const QPoint athena = library.drives()->visualRect(model->index(1, 2)).center();
    QTest::mouseClick(library.drives()->viewport(), Qt::LeftButton, {}, athena);
    QTest::mouseDClick(library.drives()->viewport(), Qt::LeftButton, {}, athena);
    EXPECT_EQ(form.context().workingFolder, drive("athena"));
#ifndef _WIN32
    // (Windows renames no folder that the window watches.)
    std::filesystem::rename(dravik::testing::fsPath(drive("athena")),
                            dravik::testing::fsPath(drive("gone")));
    QTest::mouseDClick(library.drives()->viewport(), Qt::LeftButton, {}, athena);
    EXPECT_EQ(form.context().workingFolder, drive("athena"));
    EXPECT_EQ(dialogs.messages, QStringList{"The folder of the drive athena is not there:\n" +
                                            nativeToQString(drive("athena"))});
#endif

    // Removing it asks first; the donors are then ranked again.
    library.drives()->selectRow(1);
    library.menu()->findChild<QAction*>("LibraryRemove")->trigger();
    ASSERT_EQ(dialogs.questions.size(), 1);
    ASSERT_TRUE(waitUntil(library, [&] { return model->rowCount() == 1; }));
}

TEST_F(LibraryWindowTest, TheSearchFieldFiltersByTextOrFindsByRows) {
    LibraryWindow& library = openLibrary();
    addFolder(library, drive(""));
    const struct {
        const char* typed;
        QStringList labels;
    } searches[] = {
        {"TWIN", {"ares-64-twin"}},
        {"wx3100", {"ares-64", "ares-64-twin"}},
        {"\"Code FW=VAM4019Z\" Serial~77", {"ares-64-twin"}},
        {"Code FW=WAH3112Z", {"athena"}},
        {"Family=Ares", {}},
        {"  ", {"ares-64", "ares-64-twin", "athena"}},
    };
    for (const auto& search : searches) {
        // One search runs, a pause after the last key.
        QSignalSpy searched(&library, &LibraryWindow::workEnded);
        library.search()->clear();
        QTest::keyClicks(library.search(), QString::fromUtf8(search.typed));
        ASSERT_TRUE(searched.wait(20000));
        EXPECT_EQ(searched.size(), 1);
        EXPECT_EQ(tableLines(library, 1), search.labels) << search.typed;
    }
}

TEST_F(LibraryWindowTest, ALibraryThatCannotBeOpenedIsSaidAndLeavesNothingToDo) {
    start.write("library.sqlite", std::string(4096, 'x'));
    LibraryWindow& library = openLibrary();
    // The library's path as the system writes it.
    EXPECT_TRUE(library.status()->text().contains(
        QString::fromStdString(start.file("library.sqlite"))))
        << library.status()->text().toStdString();
    EXPECT_FALSE(library.search()->isEnabled());
    EXPECT_FALSE(library.addButton()->isEnabled());
    EXPECT_FALSE(library.donorsButton()->isEnabled());
    // The window closes by its keys.
    QSignalSpy closed(&library, &QObject::destroyed);
    QApplication::setActiveWindow(&library);
    QTest::keyClick(&library, Qt::Key_Escape);
    EXPECT_TRUE(closed.wait(5000));
    EXPECT_EQ(form.openLibraryItem()->window(), nullptr);
}

TEST(LibraryQuery, TermsRunAFindAndAnythingElseFiltersByText) {
    using Match = dravik::library::FindTerm::Match;
    const struct {
        const char* typed;
        std::vector<dravik::library::FindTerm> terms;
        const char* text;
    } cases[] = {
        {"  ares 64 ", {}, "ares 64"},
        {"Family=Ares 64", {{"Family", "Ares 64", Match::Exact}}, ""},
        {"\"Code FW~VAM\" Serial=WX310041",
         {{"Code FW", "VAM", Match::Part}, {"Serial", "WX310041", Match::Exact}},
         ""},
        {"Family=2F Code FW=VAM4019Z", {{"Family", "2F Code FW=VAM4019Z", Match::Exact}}, ""},
        {"=2F", {}, "=2F"},
        {"\u0421\u0435\u0440\u0438\u044f~\u0430",
         {{"\xD1\xE5\xF0\xE8\xFF", "\xE0", Match::Part}},
         ""},
    };
    for (const auto& c : cases) {
        const LibraryQuery query = parseLibraryQuery(QString::fromUtf8(c.typed));
        EXPECT_EQ(query.terms, c.terms) << c.typed;
        EXPECT_EQ(query.text, QString::fromUtf8(c.text)) << c.typed;
    }
}

} // namespace
