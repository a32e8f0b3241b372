#include "app/shared/dialogs.h"
#include "results/report.h"
#include "support/test_support.h"

#include <QApplication>
#include <QScreen>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

// What a message box showed, where, and whether the key pressed in it closed it.
struct ShownBox {
    QRect frame;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QStringList buttons;
    QString defaultButton;
    QString escapeButton;
    bool closedByKey = false;
};

// Records the message box that shows next and presses key in it once it is
// active; a box that the key leaves open is then closed.
void pressInNextBox(Qt::Key key, ShownBox& shown) {
    QTimer::singleShot(0, [key, &shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown.frame = box->frameGeometry();
        shown.title = box->windowTitle();
        shown.text = box->text();
        shown.icon = box->icon();
        for (QAbstractButton* button : box->buttons())
            shown.buttons.append(button->text());
        if (box->defaultButton())
            shown.defaultButton = box->defaultButton()->text();
        if (box->escapeButton())
            shown.escapeButton = box->escapeButton()->text();
        EXPECT_TRUE(QTest::qWaitForWindowActive(box));
        QTest::keyClick(static_cast<QWidget*>(nullptr), key);
        shown.closedByKey = !box->isVisible();
        if (box->isVisible())
            box->done(0);
        // A box closed by a key from inside its own event loop: on Windows,
        // with the offscreen platform, nothing else wakes that loop to return.
        QCoreApplication::postEvent(qApp, new QEvent(QEvent::User));
    });
}

// The box as the window shows it: caption the application title, no icon, one
// "OK" that both Enter and Esc press.
TEST(AboutMessage, OneOkButtonIsTheDefaultAndTheCancelButton) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        SCOPED_TRACE(key);
        ShownBox shown;
        pressInNextBox(key, shown);
        MessageBoxDialogs("Dravik").showMessage("https://www.dravik.dev");

        EXPECT_EQ(shown.title, "Dravik");
        EXPECT_EQ(shown.text, "https://www.dravik.dev");
        EXPECT_EQ(shown.icon, QMessageBox::NoIcon);
        EXPECT_EQ(shown.buttons, QStringList{"OK"});
        EXPECT_EQ(shown.defaultButton, "OK");
        EXPECT_EQ(shown.escapeButton, "OK");
        EXPECT_TRUE(shown.closedByKey);
    }
}

// The Save All question: Enter answers Yes and the report is written; Esc
// answers No and nothing is.
TEST(ConfirmationBox, EnterAnswersYesAndEscapeNo) {
    dravik::testing::TempFolder folder;
    dravik::testing::CurrentDirectoryGuard inFolder(folder.path());
    const std::string report = folder.file("$Dravik.txt");
    for (const auto& [key, yes] : {std::pair(Qt::Key_Return, true), {Qt::Key_Escape, false}}) {
        SCOPED_TRACE(key);
        std::filesystem::remove(report);
        ShownBox shown;
        pressInNextBox(key, shown);
        dravik::ResultList rows;
        rows.append("Kept", "one");
        MessageBoxDialogs dialogs("Dravik");
        DialogsUserInterface ui(dialogs);
        EXPECT_EQ(dravik::saveAll(rows, ui), yes);
        EXPECT_TRUE(shown.closedByKey);
        EXPECT_EQ(dravik::testing::fileContent(report),
                  yes ? "Kept                     :one\r\n" : "<missing>");
        EXPECT_EQ(shown.title, "Confirm");
        EXPECT_EQ(shown.text, QString::fromUtf8("\xD0\xA1\xD0\xBE\xD1\x85\xD1\x80\xD0\xB0\xD0\xBD"
                                                "\xD0\xB8\xD1\x82\xD1\x8C \xD0\xB8\xD0\xBD\xD1\x84"
                                                "\xD0\xBE\xD1\x80\xD0\xBC\xD0\xB0\xD1\x86\xD0\xB8"
                                                "\xD1\x8E \xD0\xB2 \xD0\xBB\xD0\xBE\xD0\xB3\xD0\xB5?"));
        EXPECT_EQ(shown.icon, QMessageBox::Question);
        EXPECT_EQ(shown.buttons, (QStringList{"&Yes", "&No"}));
    }
}

// Every box sits in the middle of the screen, whether its text is one short
// line or wraps over several.
TEST(MessageBoxes, AreCentredOnTheScreenHoweverTheirTextWraps) {
    const QString longText =
        QStringLiteral("Cannot open file \"/srv/drives/a folder with a rather long name/and "
                       "another one below it/pasport.rpm\". Permission denied, and some more "
                       "words that make the message wrap over several lines.");
    const struct {
        const char* what;
        std::function<void()> show;
    } boxes[] = {
        {"short error", [] { MessageBoxDialogs("Dravik").showError("File not found."); }},
        {"long error", [&] { MessageBoxDialogs("Dravik").showError(longText); }},
        {"long message", [&] { MessageBoxDialogs("Dravik").showMessage(longText); }},
        {"question", [&] { MessageBoxDialogs("Dravik").confirm(longText + longText); }},
    };
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    for (const auto& box : boxes) {
        SCOPED_TRACE(box.what);
        ShownBox shown;
        pressInNextBox(Qt::Key_Escape, shown);
        box.show();
        const QRect at = shown.frame;
        EXPECT_LE((at.center() - centre).manhattanLength(), 2)
            << at.x() << "," << at.y() << " " << at.width();
    }
}

} // namespace
