#include "app/settings_editor/settings_check_label.h"
#include "app/settings_editor/settings_editor.h"
#include "app/settings_editor/settings_pipeline.h"
#include "fake_dialogs.h"
#include "platform/errors.h"
#include "settings/default_settings.h"
#include "settings_editor_fixture.h"
#include "support/test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>

namespace {

using dravik::testing::CurrentDirectoryGuard;
using dravik::testing::fileContent;
using dravik::testing::namesIn;
using dravik::testing::TempFolder;
using dravik::testing::thrownMessage;

std::string defaultContent() {
    return std::string(dravik::defaultSettingsContent());
}

QStringList memoLines(const TForm2& editor) {
    QStringList lines;
    for (QTextBlock block = editor.Memo1->document()->firstBlock(); block.isValid();
         block = block.next())
        lines.append(block.text());
    return lines;
}

// Presses a key as the user would: it goes to the widget with the focus.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(static_cast<QWidget*>(nullptr), key, modifiers);
}

// Runs the editor modally as the window does, user acting inside the modal
// loop. An editor that the user left open is closed, not OK, and noted in
// leftOpen, so a failing test ends instead of waiting.
bool execAs(TForm2& editor, const std::function<void()>& user, bool* leftOpen = nullptr) {
    QTimer::singleShot(0, &editor, [&editor, user, leftOpen] {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&editor));
        user();
        if (leftOpen)
            *leftOpen = editor.isVisible();
        if (editor.isVisible())
            editor.reject();
        // An editor closed by a key from inside its own event loop: on Windows,
        // with the offscreen platform, nothing else wakes that loop to return.
        QCoreApplication::postEvent(qApp, new QEvent(QEvent::User));
    });
    return editor.exec() == QDialog::Accepted;
}

TEST_F(SettingsEditor, LayoutKeepsTheButtonAtTheRightEdge) {
    EXPECT_EQ(editor.windowTitle(), "Edit ini");
    const Qt::WindowFlags flags = editor.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(editor.BitBtn1->text(), "OK");
    EXPECT_FALSE(editor.BitBtn1->icon().isNull());
    EXPECT_TRUE(editor.BitBtn1->isDefault());

    editor.show();
    EXPECT_EQ(editor.size(), QSize(358, 532));
    EXPECT_EQ(editor.Memo1->geometry(), QRect(0, 0, 358, 491));
    EXPECT_EQ(editor.Panel1->geometry(), QRect(0, 491, 358, 41));
    EXPECT_EQ(editor.BitBtn1->geometry(), QRect(272, 13, 75, 25));

    editor.resize(500, 600);
    QApplication::processEvents();
    EXPECT_EQ(editor.Memo1->geometry(), QRect(0, 0, 500, 559));
    EXPECT_EQ(editor.Panel1->geometry(), QRect(0, 559, 500, 41));
    EXPECT_EQ(editor.BitBtn1->geometry(), QRect(500 - 11 - 75, 13, 75, 25));
    editor.hide();
}

// The count left of OK follows the text a pause after typing, and a click on
// it puts the cursor on the first problem's line; OK still writes unchecked.
TEST_F(SettingsEditor, CountsTheProblemsOfItsTextAndAClickGoesToTheFirst) {
    EXPECT_EQ(editor.Label1->text(), ""); // the default content has no problem
    const std::string text = "[Mod]\r\n2F=Ares\r\n[2F]\r\nSerial=S0,8\r\nVer=S508,5\r\n"
                             "Cod=Q174,2\r\n[2f]\r\n";
    start.write("Dravik.ini", text);
    QString count, tip, countAfterTyping, countAfterPause, selected;
    int cursorLine = -1;
    dialogs.editorAction = [&](TForm2& shownEditor) {
        shownEditor.show();
        shownEditor.BitBtn1->setFocus();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&shownEditor));
        // The text read from the file is checked in a worker.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !shownEditor.Label1->text().isEmpty(); }));
        count = shownEditor.Label1->text();
        tip = shownEditor.Label1->toolTip();
        EXPECT_LT(shownEditor.Label1->geometry().right(), shownEditor.BitBtn1->x());
        QTest::mouseClick(shownEditor.Label1, Qt::LeftButton);
        cursorLine = shownEditor.Memo1->textCursor().blockNumber();
        EXPECT_EQ(shownEditor.Memo1->textCursor().positionInBlock(), 0);
        selected = shownEditor.Memo1->textCursor().selectedText();
        EXPECT_EQ(QApplication::focusWidget(), shownEditor.Memo1);
        shownEditor.Memo1->moveCursor(QTextCursor::End);
        type(shownEditor.Memo1, "[CL]\nAB=x");
        countAfterTyping = shownEditor.Label1->text();
        EXPECT_TRUE(QTest::qWaitFor([&] { return shownEditor.Label1->text() != countAfterTyping; },
                                    10 * SettingsPipeline::kPause));
        countAfterPause = shownEditor.Label1->text();
        shownEditor.hide();
        return true;
    };
    edit();
    EXPECT_EQ(count, "2 errors, 1 warning");
    EXPECT_TRUE(tip.contains("Line 5: error: [2F] Ver=S508,5: bytes 508 to 512"))
        << tip.toStdString();
    EXPECT_TRUE(tip.contains("Line 6: error: [2F] Cod=Q174,2")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("Line 7: warning: section [2f] repeats")) << tip.toStdString();
    EXPECT_EQ(cursorLine, 4);
    EXPECT_EQ(selected, "Ver=S508,5"); // the faulty entry shows selected
    EXPECT_EQ(countAfterTyping, count);
    EXPECT_EQ(countAfterPause, "2 errors, 2 warnings");
    EXPECT_EQ(settingsFile(), text + "[CL]\r\nAB=x");
}

TEST(SettingsCheckTooltip, ListsThirtyProblemsAndCountsTheRest) {
    SettingsCheckLabel label(nullptr);
    // Each line without "=" in a section is a warning.
    for (const auto& [problems, more] : {std::pair{30, ""}, {31, "... and 1 more"}}) {
        std::string text = "[CL]";
        for (int line = 0; line < problems; ++line)
            text += "\r\nx";
        label.showProblems(dravik::checkSettings(text));
        const QString tip = label.toolTip();
        EXPECT_EQ(tip.count("Line "), 30) << problems;
        EXPECT_EQ(tip.contains("more"), *more != '\0') << problems;
        EXPECT_TRUE(tip.endsWith(QString(more) + "</p>")) << tip.toStdString();
    }
}

TEST_F(SettingsEditor, IsCentredOnTheScreenAtEachOpening) {
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    for (int opening = 0; opening < 2; ++opening) {
        editor.show();
        EXPECT_LE((editor.frameGeometry().center() - centre).manhattanLength(), 1);
        editor.move(3, 5);
        editor.hide();
    }
}

TEST_F(SettingsEditor, EveryKindOfLineBreakIsShownAsALineAndWrittenAsCrLf) {
    struct Case {
        std::string file;
        QStringList lines;
        std::string written;
    };
    const std::vector<Case> cases = {
        {"a\nb\n", {"a", "b", ""}, "a\r\nb\r\n"},
        {"a\rb\r", {"a", "b", ""}, "a\r\nb\r\n"},
        {"a\r\nb", {"a", "b"}, "a\r\nb"},
        {"a\n\rb", {"a", "", "b"}, "a\r\n\r\nb"},
        {"\r\r\n\n", {"", "", "", ""}, "\r\n\r\n\r\n"},
        {"", {""}, ""}, // an empty editor confirmed gives a file of length 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.file));
        start.write("Dravik.ini", c.file);
        QStringList lines;
        dialogs.editorAction = [&](TForm2& shownEditor) {
            lines = memoLines(shownEditor);
            return true;
        };
        edit();
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(settingsFile(), c.written);
    }
}

TEST_F(SettingsEditor, EveryByteButTheLineBreaksSurvivesLoadAndOk) {
    std::string bytes;
    for (int byte = 0; byte < 256; ++byte)
        if (byte != '\r' && byte != '\n')
            bytes += static_cast<char>(byte);
    std::string reversed(bytes.rbegin(), bytes.rend());
    const std::string file = bytes + "\r\n" + reversed;
    start.write("Dravik.ini", file);
    QStringList lines;
    dialogs.editorAction = [&](TForm2& shownEditor) {
        lines = memoLines(shownEditor);
        return true;
    };
    edit();

    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].size(), 254);
    // Shown through the Windows-1251 table: 0x98 stands for U+0098.
    EXPECT_EQ(lines[0][0x98 - 2], QChar(0x0098));
    EXPECT_EQ(lines[0][0xA0 - 2], QChar(0x00A0));
    EXPECT_EQ(lines[0][0xC0 - 2], QChar(0x0410));
    EXPECT_EQ(settingsFile(), file);
}

TEST_F(SettingsEditor, TypedCharactersWithoutAWindows1251ByteAreWrittenAsQuestionMarks) {
    struct Case {
        QString typed;
        std::string written;
    };
    const std::vector<Case> cases = {
        {QString::fromUtf8("\xD0\x96"), "\xC6"},      // Cyrillic Zhe
        {QString::fromUtf8("\xE2\x82\xAC"), "\x88"},  // euro sign
        {QString::fromUtf8("\xE2\x98\xBA"), "?"},     // smiling face
        {QString::fromUtf8("\xF0\x9F\x98\x80"), "?"}, // outside the BMP: one "?"
        {QString::fromUtf8("a\xC2\xA0"
                           "b"),
         "a\xA0"
         "b"}, // no-break space kept
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        start.write("Dravik.ini", "");
        userTypes(c.typed, true);
        edit();
        EXPECT_EQ(settingsFile(), c.written);
    }
}

TEST_F(SettingsEditor, APasteInsertsTheClipboardsTextAndNothingFromAClipboardWithoutData) {
    const struct {
        std::optional<QString> clipboard; // none: data of no format, as an unowned X clipboard
        Qt::KeyboardModifiers modifiers;
        Qt::Key key;
        QString text;
    } cases[] = {
        {std::nullopt, Qt::ControlModifier, Qt::Key_V, "[Mod]"},
        {std::nullopt, Qt::ShiftModifier, Qt::Key_Insert, "[Mod]"},
        {QStringLiteral("\n2F=Ares"), Qt::ShiftModifier, Qt::Key_Insert, "[Mod]\n2F=Ares"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clipboard.value_or("<no data>").toStdString());
        auto* data = new QMimeData;
        if (c.clipboard)
            data->setText(*c.clipboard);
        QGuiApplication::clipboard()->setMimeData(data);
        editor.Memo1->setPlainText(QStringLiteral("[Mod]"));
        editor.Memo1->moveCursor(QTextCursor::End);
        QTest::keyClick(editor.Memo1, c.key, c.modifiers);
        EXPECT_EQ(editor.Memo1->toPlainText(), c.text);
    }
    QGuiApplication::clipboard()->clear();
}

TEST_F(SettingsEditor, ALineBreakWithinAParagraphIsWrittenAsCrLf) {
    start.write("Dravik.ini", "ab");
    dialogs.editorAction = [](TForm2& shownEditor) {
        shownEditor.Memo1->moveCursor(QTextCursor::NextCharacter);
        QTest::keyClick(shownEditor.Memo1, Qt::Key_Return, Qt::ShiftModifier);
        return true;
    };
    edit();
    EXPECT_EQ(settingsFile(), "a\r\nb");
}

TEST_F(SettingsEditor, ClosingWithoutOkWritesNothingAndKeepsTheEditUntilAFileReplacesIt) {
    userTypes("; unconfirmed\n", false);
    edit();
    EXPECT_EQ(namesIn(start.path()), std::vector<std::string>{});

    // No file yet: the next opening shows the unconfirmed edit.
    edit();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[1].startsWith("; unconfirmed\nDravik for Windows\n"));

    // A file now exists: it replaces the editor's text, and stays untouched.
    start.write("Dravik.ini", "[CL]\r\n");
    edit();
    edit();
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown[2], "[CL]\n");
    EXPECT_EQ(shown[3], "[CL]\n");
    EXPECT_EQ(settingsFile(), "[CL]\r\n");
}

TEST_F(SettingsEditor, TheSettingsFileIsFoundWithoutRegardToCase) {
    struct Case {
        std::vector<std::string> files;
        std::vector<std::string> folders;
        std::string edited; // empty: "Dravik.ini" is created
    };
    const std::vector<Case> cases = {
        {{"DRAVIK.INI"}, {}, "DRAVIK.INI"},
        {{"DRAVIK.INI", "Dravik.ini"}, {}, "Dravik.ini"},
        {{"dravik.INI", "DRAVIK.ini"}, {}, "DRAVIK.ini"},
        {{"dravik.ini"}, {"DRAVIK.INI"}, "dravik.ini"},
        {{"Dravik.ini.bak", "XDravik.ini", ".Dravik.ini"}, {"dravik.ini"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edited);
        TempFolder folder;
        for (const std::string& name : c.files)
            folder.write(name, name);
        for (const std::string& name : c.folders)
            folder.makeFolder(name);
        userTypes("!", true);
        editSettings(editor, folder.path(), dialogs);

        for (const std::string& name : c.files) {
            if (name != c.edited) {
                EXPECT_EQ(fileContent(folder.file(name)), name);
            }
        }
        if (c.edited.empty()) {
            EXPECT_EQ(fileContent(folder.file("Dravik.ini")).substr(0, 1), "!");
        } else {
            EXPECT_EQ(shown.back().toStdString(), c.edited);
            EXPECT_EQ(fileContent(folder.file(c.edited)), "!" + c.edited);
        }
    }
}

TEST_F(SettingsEditor, AFolderNamedDravikIniIsNoSettingsFileAndCannotBeWritten) {
    start.makeFolder("Dravik.ini");
    userTypes(QString(), true);
    const std::string message = thrownMessage<dravik::FileOpenError>([&] { edit(); });
    EXPECT_EQ(message,
              "Cannot create file \"" + start.file("Dravik.ini") + "\". " +
                  dravik::systemErrorText(dravik::kErrorIsAFolder));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("Dravik for Windows\n"));
    EXPECT_TRUE(std::filesystem::is_directory(start.file("Dravik.ini")));
}

TEST_F(SettingsEditor, AFileBeyondTheCapacityIsRefusedAndTheTextKept) {
    // Lines of 64 bytes fill the capacity exactly.
    std::string full;
    while (full.size() < kMemoCapacity)
        full += std::string(62, 'x') + "\r\n";
    ASSERT_EQ(full.size(), kMemoCapacity);
    const QString before = editor.Memo1->toPlainText();

    const std::string path = start.write("Dravik.ini", full + "x");
    EXPECT_EQ(thrownMessage<dravik::Error>([&] { edit(); }),
              "Cannot open file \"" + path +
                  "\". It is 1048577 bytes, over the 1048576 bytes a settings file may hold");
    EXPECT_EQ(dialogs.editorRuns, 0);
    EXPECT_EQ(editor.Memo1->toPlainText(), before);

    start.write("Dravik.ini", full);
    EXPECT_EQ(thrownMessage<dravik::Error>([&] { edit(); }), "<no error>");
    EXPECT_EQ(dialogs.editorRuns, 1);
    EXPECT_EQ(editor.Memo1->blockCount(), static_cast<int>(kMemoCapacity / 64) + 1);
}

// The editor holds no more than Edit ini loads: a key or a paste that would
// pass the capacity is refused with its message, and OK then writes a file
// that the next Edit ini loads.
TEST_F(SettingsEditor, NothingPassesTheCapacityAndOkWritesWhatLoadsAgain) {
    std::string full; // lines of 64 bytes fill the capacity exactly
    while (full.size() < kMemoCapacity)
        full += std::string(62, 'x') + "\r\n";
    auto paste = [](const QString& text) {
        return [text](TForm2& shownEditor) {
            QGuiApplication::clipboard()->setText(text);
            QTest::keyClick(shownEditor.Memo1, Qt::Key_V, Qt::ControlModifier);
        };
    };
    const struct {
        const char* name;
        std::size_t room; // bytes left below the capacity
        std::function<void(TForm2&)> act; // at the start of the text
        std::string written;              // the file's first bytes then
        std::size_t replaced;             // of the text's first bytes
        int refusals;
    } cases[] = {
        {"the key past the edge", 1, [](TForm2& e) { type(e.Memo1, "ab"); }, "a", 0, 1},
        {"Enter takes two bytes", 1, [](TForm2& e) { type(e.Memo1, "\n"); }, "", 0, 1},
        {"an input method's text past the edge", 1,
         [](TForm2& e) {
             QInputMethodEvent composed;
             composed.setCommitString(QStringLiteral("ab"));
             QApplication::sendEvent(e.Memo1, &composed);
         },
         "", 0, 1},
        {"a paste past the edge", 3, paste("a\r\nb"), "", 0, 1},
        {"a paste that fits", 4, paste("a\r\nb"), "a\r\nb", 0, 0},
        {"a paste over a selection", 0,
         [paste](TForm2& e) {
             e.Memo1->moveCursor(QTextCursor::Right, QTextCursor::KeepAnchor);
             e.Memo1->moveCursor(QTextCursor::Right, QTextCursor::KeepAnchor);
             paste("ab")(e);
         },
         "ab", 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.errors.clear();
        const std::string before = full.substr(c.room);
        start.write("Dravik.ini", before);
        dialogs.editorAction = [&c](TForm2& shownEditor) {
            shownEditor.Memo1->moveCursor(QTextCursor::Start);
            c.act(shownEditor);
            return true;
        };
        edit();
        EXPECT_EQ(dialogs.errors,
                  QStringList(c.refusals, QStringLiteral("Text exceeds memo capacity.")));
        EXPECT_EQ(settingsFile(), c.written + before.substr(c.replaced));
    }
    // What the last OK wrote, at the capacity, loads again.
    dialogs.editorAction = nullptr;
    EXPECT_EQ(thrownMessage<dravik::Error>([&] { edit(); }), "<no error>");
    QGuiApplication::clipboard()->clear();

    // Lone line feeds become CR LF in the editor: a file that fits only with
    // them is refused as it could not be written back.
    std::string lineFeeds;
    while (lineFeeds.size() < kMemoCapacity)
        lineFeeds += std::string(63, 'x') + "\n";
    start.write("Dravik.ini", lineFeeds);
    EXPECT_EQ(thrownMessage<dravik::Error>([&] { edit(); }), "Text exceeds memo capacity");
}

TEST_F(SettingsEditor, TheStartFolderNotTheCurrentDirectoryDecidesWhichFileIsEdited) {
    TempFolder other;
    other.write("Dravik.ini", "[other]\r\n");
    start.write("Dravik.ini", "[start]\r\n");
    CurrentDirectoryGuard cwd(other.path());
    userTypes(";", true);
    edit();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], "[start]\n");
    EXPECT_EQ(settingsFile(), ";[start]\r\n");
    EXPECT_EQ(fileContent(other.file("Dravik.ini")), "[other]\r\n");
}

// The modal run with the user's keys, as the real window runs it.

TEST_F(SettingsEditor, TabThenEnterWritesTheDefaultContentAtEachOpening) {
    for (int opening = 0; opening < 2; ++opening) {
        SCOPED_TRACE(opening);
        std::filesystem::remove(start.file("Dravik.ini"));
        bool leftOpen = true;
        dialogs.editorAction = [&](TForm2& shownEditor) {
            return execAs(
                shownEditor,
                [] {
                    press(Qt::Key_Tab);
                    press(Qt::Key_Return);
                },
                &leftOpen);
        };
        edit();
        EXPECT_FALSE(leftOpen);
        EXPECT_EQ(settingsFile(), defaultContent());
    }
}

TEST_F(SettingsEditor, EnterInTheEditorAddsALineAndDoesNotClose) {
    int linesBefore = 0;
    int linesAfter = 0;
    bool openAfterEnter = false;
    dialogs.editorAction = [&](TForm2& shownEditor) {
        return execAs(shownEditor, [&] {
            EXPECT_EQ(QApplication::focusWidget(), shownEditor.Memo1);
            linesBefore = shownEditor.Memo1->blockCount();
            press(Qt::Key_Return);
            press(Qt::Key_Enter);
            linesAfter = shownEditor.Memo1->blockCount();
            openAfterEnter = shownEditor.isVisible();
            press(Qt::Key_Tab);
            EXPECT_EQ(QApplication::focusWidget(), shownEditor.BitBtn1);
            press(Qt::Key_Return);
        });
    };
    edit();
    EXPECT_EQ(linesAfter, linesBefore + 2);
    EXPECT_TRUE(openAfterEnter);
    EXPECT_EQ(settingsFile(), "\r\n\r\n" + defaultContent());
}

TEST_F(SettingsEditor, EscapeKeepsTheEditorOpenAndTheCloseBoxWritesNothing) {
    bool openAfterEscape = false;
    bool accepted = true;
    dialogs.editorAction = [&](TForm2& shownEditor) {
        accepted = execAs(shownEditor, [&] {
            press(Qt::Key_X);
            press(Qt::Key_Escape);
            openAfterEscape = shownEditor.isVisible();
            shownEditor.close();
        });
        return accepted;
    };
    edit();
    EXPECT_TRUE(openAfterEscape);
    EXPECT_FALSE(accepted);
    EXPECT_EQ(namesIn(start.path()), std::vector<std::string>{});
    EXPECT_TRUE(editor.Memo1->toPlainText().startsWith("xDravik for Windows\n"));
}

} // namespace
