#include "file_icons.h"
#include "folder_list_model.h"
#include "support/test_support.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include <sys/stat.h>

namespace {

using dravik::testing::fileContent;
using dravik::testing::TempFolder;

QStringList rowTexts(const FolderListModel& model) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row).data().toString();
    return texts;
}

void showFolder(FolderListModel& model, const std::string& folder) {
    QSignalSpy loaded(&model, &FolderListModel::folderLoaded);
    model.setFolder(folder);
    ASSERT_TRUE(loaded.wait(10000));
}

TEST(FolderList, ShowsFoldersFirstThenTheRestEachInTheOrderOfEnumeration) {
    TempFolder folder;
    for (const char* name : {"b.txt", "a.rpm", "A.ldr", ".hidden"})
        folder.write(name, "x");
    for (const char* name : {"Zeta", "alpha", "ok-\xD0\x96", "\xCF\xF0\xE8\xE2\xEE\xE4", ".git"})
        folder.makeFolder(name);
    ASSERT_EQ(::mkfifo(folder.file("pipe").c_str(), 0666), 0);
    std::filesystem::create_symlink(folder.file("none"), folder.file("link"));

    FolderListModel model;
    showFolder(model, folder.path());
    // A name that is not UTF-8 shows as Windows-1251: "Привод".
    const QString drive = QString::fromUtf8("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xBE\xD0\xB4");
    EXPECT_EQ(rowTexts(model), (QStringList{"alpha", QString::fromUtf8("ok-\xD0\x96"), "Zeta",
                                            drive, "A.ldr", "a.rpm", "b.txt", "link", "pipe"}));

    const struct {
        int row;
        bool folder;
        std::string name;
    } entries[] = {{0, true, "alpha"},
                   {3, true, "\xCF\xF0\xE8\xE2\xEE\xE4"},
                   {4, false, "A.ldr"},
                   {8, false, "pipe"}};
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.name);
        const QModelIndex index = model.index(entry.row);
        EXPECT_EQ(model.path(index), folder.file(entry.name));
        EXPECT_EQ(model.isFolder(index), entry.folder);
        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        EXPECT_EQ(icon.cacheKey(), entry.folder
                                       ? kindIcon(QAbstractFileIconProvider::Folder).cacheKey()
                                       : fileIcon(index.data().toString()).cacheKey());
    }
}

TEST(FolderList, ChangesOfTheFolderReachTheRowsWhereTheyAreAndTheCurrentRowStays) {
    // The folder holds b.txt, d.txt, f.txt and g000.txt to g199.txt; d.txt is current.
    QStringList many{"b.txt", "d.txt", "f.txt"};
    for (int i = 0; i < 200; i += 2)
        many << QString::asprintf("g%03d.txt", i);
    struct Case {
        const char* what;
        std::function<void(const TempFolder&)> change;
        QStringList firstRows;
        bool keepsRows; // the current row stays, else all rows were replaced
    };
    const std::vector<Case> cases = {
        {"a file added", [](const TempFolder& f) { f.write("c.txt", "x"); },
         {"b.txt", "c.txt", "d.txt", "f.txt", "g000.txt"}, true},
        {"a file removed", [](const TempFolder& f) { std::filesystem::remove(f.file("b.txt")); },
         {"d.txt", "f.txt", "g000.txt"}, true},
        {"a file become a folder",
         [](const TempFolder& f) {
             std::filesystem::remove(f.file("f.txt"));
             f.makeFolder("f.txt");
         },
         {"f.txt", "b.txt", "d.txt", "g000.txt"}, true},
        {"files added in two places",
         [](const TempFolder& f) {
             for (int i = 0; i < 100; ++i)
                 f.write((i % 2 ? "a" : "e") + std::to_string(i) + ".txt", "x");
         },
         {}, true},
        {"every other file removed",
         [](const TempFolder& f) {
             for (int i = 1; i < 200; i += 2)
                 std::filesystem::remove(f.file(QString::asprintf("g%03d.txt", i).toStdString()));
         },
         many, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        for (const char* name : {"b.txt", "d.txt", "f.txt"})
            folder.write(name, "x");
        for (int i = 0; i < 200; ++i)
            folder.write(QString::asprintf("g%03d.txt", i).toStdString(), "x");
        FolderListModel model;
        showFolder(model, folder.path());
        const QPersistentModelIndex current = model.index(1);

        c.change(folder);
        const qsizetype entries = std::distance(std::filesystem::directory_iterator(folder.path()),
                                                std::filesystem::directory_iterator());
        auto shown = [&] {
            return model.rowCount() == entries &&
                   rowTexts(model).mid(0, c.firstRows.size()) == c.firstRows;
        };
        QElapsedTimer waiting;
        waiting.start();
        while (!shown() && waiting.elapsed() < 10000)
            QTest::qWait(10);
        ASSERT_EQ(model.rowCount(), entries);
        EXPECT_EQ(rowTexts(model).mid(0, c.firstRows.size()), c.firstRows);
        EXPECT_EQ(current.isValid(), c.keepsRows);
        if (c.keepsRows) {
            EXPECT_EQ(current.data().toString(), "d.txt");
        }
    }
}

TEST(FolderList, ARenameInPlaceNeverReplacesAndTheRowGoesToItsPlace) {
    struct Case {
        QString newName;
        bool renamed;
        QStringList rows;
    };
    const std::vector<Case> cases = {
        {"z.txt", true, {"a.txt", "c.txt", "z.txt"}},
        {"0.txt", true, {"0.txt", "a.txt", "c.txt"}},
        {"B.TXT", true, {"a.txt", "B.TXT", "c.txt"}},
        {"b.txt", true, {"a.txt", "b.txt", "c.txt"}},
        {"c.txt", false, {"a.txt", "b.txt", "c.txt"}},
        {"x/y.txt", false, {"a.txt", "b.txt", "c.txt"}},
        {"..", false, {"a.txt", "b.txt", "c.txt"}},
        {"", false, {"a.txt", "b.txt", "c.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.newName.toStdString());
        TempFolder folder;
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            folder.write(name, name);
        FolderListModel model;
        showFolder(model, folder.path());
        const QPersistentModelIndex renamed = model.index(1);

        EXPECT_EQ(model.setData(renamed, c.newName, Qt::EditRole), c.renamed);
        EXPECT_EQ(rowTexts(model), c.rows);
        const std::string name = c.renamed ? c.newName.toStdString() : "b.txt";
        EXPECT_EQ(renamed.data().toString().toStdString(), name);
        EXPECT_EQ(fileContent(folder.file(name)), "b.txt");
        EXPECT_EQ(fileContent(folder.file("c.txt")), "c.txt");
    }
}

} // namespace
