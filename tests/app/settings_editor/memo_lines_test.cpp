#include "app/settings_editor/memo_lines.h"

#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

namespace {

// The editor's lines as the file has them: a line separator (Shift+Enter)
// ends a line as a paragraph does, also when typed after the text was set.
TEST(MemoLines, CountsLinesAsTheFileHasThemBeforeAndAfterALineSeparatorIsTyped) {
    QPlainTextEdit memo;
    memo.setPlainText(QStringLiteral("[Mod]\n2F=Ares\nab"));
    MemoLines* lines = MemoLines::of(memo.document());
    EXPECT_EQ(MemoLines::of(memo.document()), lines);
    memo.moveCursor(QTextCursor::End);
    QTest::keyClick(&memo, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&memo, QStringLiteral("cd"));
    ASSERT_TRUE(memo.document()->lastBlock().text().contains(QChar::LineSeparator));

    const struct {
        int position;
        std::size_t line;
        int column;
    } cases[] = {{0, 1, 1}, {5, 1, 6}, {6, 2, 1}, {14, 3, 1}, {16, 3, 3}, {17, 4, 1}, {19, 4, 3}};
    for (const auto& c : cases) {
        QTextCursor cursor(memo.document());
        cursor.setPosition(c.position);
        const MemoPlace place = lines->place(cursor);
        EXPECT_EQ(place.line, c.line) << c.position;
        EXPECT_EQ(place.column, c.column) << c.position;
    }
    EXPECT_EQ(lines->lineStart(4), 17);
    EXPECT_EQ(lines->lineStart(5), memo.document()->characterCount() - 1);
}

} // namespace
