#include "app/main_window/folder_list_model.h"
#include "app/shared/scope_exit.h"
#include "support/test_support.h"

#include <QIcon>
#include <QImage>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

using dravik::testing::fileContent;
using dravik::testing::TempFolder;

QStringList rowTexts(const FolderListModel& model) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row).data().toString();
    return texts;
}

// A model showing folder, read; its current row is the second.
struct Shown {
    explicit Shown(const std::string& folder) {
        QSignalSpy loaded(&model, &FolderListModel::folderLoaded);
        model.setFolder(folder);
        EXPECT_TRUE(loaded.wait(10000));
        current = model.index(1);
    }
    FolderListModel model;
    QPersistentModelIndex current;
};

TEST(FolderList, ChangesOfTheFolderReachTheRowsWhereTheyAreAndTheCurrentEntryStays) {
    // Digits sort by their numbers only where the locale's collation does so;
    // the C locale of a test run compares plain characters. Qt's collation
    // comes from its ICU data, not from the system's installed locales, so an
    // English default locale gives it on every machine.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const ScopeExit restore([&] { QLocale::setDefault(before); });
    // The folder holds b.txt, d.txt, f.txt and g000.txt to g199.txt.
    auto g = [](int i) { return QString::asprintf("g%03d.txt", i).toStdString(); };
    const struct {
        std::function<void(const TempFolder&)> change;
        QStringList firstRows;
        const char* current; // what the current row shows then
    } cases[] = {
        {[](const TempFolder& f) { f.write("c.txt", "x"); }, {"b.txt", "c.txt", "d.txt"}, "d.txt"},
        {[](const TempFolder& f) {
             std::filesystem::remove(f.file("f.txt"));
             f.makeFolder("f.txt");
         },
         {"f.txt", "b.txt", "d.txt", "g000.txt"},
         "d.txt"},
        {[&](const TempFolder& f) {
             for (int i = 1; i < 200; i += 2)
                 std::filesystem::remove(f.file(g(i)));
         },
         {"b.txt", "d.txt", "f.txt", "g000.txt", "g002.txt"},
         "d.txt"},
        // A new name takes its place by the numbers in it.
        {[](const TempFolder& f) {
             f.write("b10.txt", "x");
             f.write("b9.txt", "x");
         },
         {"b.txt", "b9.txt", "b10.txt", "d.txt"},
         "d.txt"},
        // Beyond 64 changes the rows are replaced whole: the current entry
        // follows its name to its new row, and one that is gone leaves no
        // current row.
        {[&](const TempFolder& f) {
             f.write("c.txt", "x");
             for (int i = 1; i < 200; i += 2)
                 std::filesystem::remove(f.file(g(i)));
         },
         {"b.txt", "c.txt", "d.txt", "f.txt", "g000.txt"},
         "d.txt"},
        {[&](const TempFolder& f) {
             std::filesystem::remove(f.file("d.txt"));
             for (int i = 1; i < 200; i += 2)
                 std::filesystem::remove(f.file(g(i)));
         },
         {"b.txt", "f.txt", "g000.txt", "g002.txt"},
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.firstRows.join(' ').toStdString());
        TempFolder folder;
        for (const char* name : {"b.txt", "d.txt", "f.txt"})
            folder.write(name, "x");
        for (int i = 0; i < 200; ++i)
            folder.write(g(i), "x");
        Shown shown(folder.path());

        c.change(folder);
        const auto entries = std::distance(std::filesystem::directory_iterator(folder.path()),
                                           std::filesystem::directory_iterator());
        auto firstRows = [&] { return rowTexts(shown.model).mid(0, c.firstRows.size()); };
        for (int wait = 0;
             wait < 1000 && (shown.model.rowCount() != entries || firstRows() != c.firstRows);
             ++wait)
            QTest::qWait(10);
        EXPECT_EQ(shown.model.rowCount(), entries);
        EXPECT_EQ(firstRows(), c.firstRows);
        EXPECT_EQ(shown.current.data().toString(), c.current);
    }
}

TEST(FolderList, ARenameInPlaceNeverReplacesAndTheRowGoesToItsPlace) {
    const struct {
        QString newName;
        QStringList rows; // empty: refused
    } cases[] = {
        {"z.txt", {"a.txt", "c.txt", "z.txt"}},
        {"0.txt", {"0.txt", "a.txt", "c.txt"}},
        {"B.TXT", {"a.txt", "B.TXT", "c.txt"}},
        {"c.txt", {}},
        {"x/y.txt", {}},
        {"..", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.newName.toStdString());
        TempFolder folder;
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            folder.write(name, name);
        Shown shown(folder.path());
        // Made after the listing, so that the rows stay a.txt to c.txt: a name
        // with a separator is refused, though it names a folder that is there.
        folder.makeFolder("x");

        const bool renamed = !c.rows.isEmpty();
        EXPECT_EQ(shown.model.setData(shown.current, c.newName, Qt::EditRole), renamed);
        const QStringList unchanged{"a.txt", "b.txt", "c.txt"};
        EXPECT_EQ(rowTexts(shown.model), renamed ? c.rows : unchanged);
        const QString name = renamed ? c.newName : "b.txt";
        EXPECT_EQ(shown.current.data().toString(), name);
        EXPECT_EQ(fileContent(folder.file(name.toStdString())), "b.txt");
        EXPECT_EQ(fileContent(folder.file("c.txt")), "c.txt");
    }
}

// The style's icons stand in for a missing icon theme, as in this test run.
TEST(FolderList, AFolderShowsAFoldersIconAndAFileAFilesWithOrWithoutATheme) {
    TempFolder folder;
    folder.makeFolder("sub");
    folder.write("a.txt", "x");
    Shown shown(folder.path());
    ASSERT_EQ(rowTexts(shown.model), (QStringList{"sub", "a.txt"}));
    const auto image = [&](int row) {
        return shown.model.index(row).data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage();
    };
    EXPECT_NE(image(0), image(1));
}

} // namespace
