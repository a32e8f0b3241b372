#include "dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The box as the window shows it: caption the application title, no icon, one
// "OK" that both Enter and Esc press.
TEST(AboutMessage, OneOkButtonIsTheDefaultAndTheCancelButton) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        SCOPED_TRACE(key);
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::Warning;
        QStringList buttons;
        bool okIsDefault = false;
        bool okIsEscape = false;
        bool closedByKey = false;
        QTimer::singleShot(0, [&] {
            QMessageBox* box = nullptr;
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (widget->isVisible() && qobject_cast<QMessageBox*>(widget))
                    box = qobject_cast<QMessageBox*>(widget);
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            for (QAbstractButton* button : box->buttons())
                buttons.append(button->text());
            okIsDefault = box->defaultButton() != nullptr && box->defaultButton()->text() == "OK";
            okIsEscape = box->escapeButton() == box->defaultButton();
            EXPECT_TRUE(QTest::qWaitForWindowActive(box));
            QTest::keyClick(static_cast<QWidget*>(nullptr), key);
            closedByKey = !box->isVisible();
            if (box->isVisible())
                box->done(0);
        });
        MessageBoxDialogs("Dravik").showMessage("https://www.dravik.dev");

        EXPECT_EQ(title, "Dravik");
        EXPECT_EQ(text, "https://www.dravik.dev");
        EXPECT_EQ(icon, QMessageBox::NoIcon);
        EXPECT_EQ(buttons, QStringList{"OK"});
        EXPECT_TRUE(okIsDefault);
        EXPECT_TRUE(okIsEscape);
        EXPECT_TRUE(closedByKey);
    }
}

} // namespace

namespace {

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
        QRect shownAt;
        QTimer::singleShot(0, [&] {
            QWidget* shown = QApplication::activeModalWidget();
            ASSERT_NE(shown, nullptr);
            shownAt = shown->frameGeometry();
            qobject_cast<QDialog*>(shown)->done(0);
        });
        box.show();
        EXPECT_LE((shownAt.center() - centre).manhattanLength(), 2) << shownAt.x() << "," << shownAt.y()
                                                                   << " " << shownAt.width();
    }
}

} // namespace
