#include "dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

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
