#pragma once
// The settings editor of the window, as its tests find it: a fresh start
// folder, the fake dialogs and the editor, and the user's typing.

#include "app/settings_editor/settings_editor.h"
#include "fake_dialogs.h"
#include "support/test_support.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

// Types text into widget key by key; a line feed is the Enter key.
inline void type(QWidget* widget, const QString& text) {
    for (const char32_t codePoint : text.toUcs4()) {
        if (codePoint == '\n') {
            QTest::keyClick(widget, Qt::Key_Return);
            continue;
        }
        const QString character = QString::fromUcs4(&codePoint, 1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

class SettingsEditor : public ::testing::Test {
  protected:
    void edit() { editSettings(editor, start.path(), dialogs); }
    std::string settingsFile() const {
        return dravik::testing::fileContent(start.file("Dravik.ini"));
    }

    // The editor's run: the text shown is recorded, then typed is typed at
    // the start of the text, and the editor closes with OK when confirm.
    void userTypes(const QString& typed, bool confirm) {
        dialogs.editorAction = [this, typed, confirm](TForm2& shownEditor) {
            shown.append(shownEditor.Memo1->toPlainText());
            shownEditor.Memo1->moveCursor(QTextCursor::Start);
            type(shownEditor.Memo1, typed);
            return confirm;
        };
    }

    dravik::testing::TempFolder start;
    FakeDialogs dialogs;
    TForm2 editor;
    QStringList shown;
};
