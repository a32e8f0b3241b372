#include "editor_tools.h"

#include "Unit2.h"
#include "layout_preview.h"
#include "memo_lines.h"
#include "settings_check_label.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QShortcut>

namespace {

// The line numbers can't stand in a margin of the editor: the margin would
// narrow its text, and so change where long lines wrap.
QLabel* cursorPlace(QPlainTextEdit& memo, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("CursorPlace"));
    label->setAccessibleName(QStringLiteral("Cursor's line and column"));
    MemoLines* lines = MemoLines::of(memo.document());
    const auto follow = [label, lines, &memo] {
        const MemoPlace place = lines->place(memo.textCursor());
        label->setText(QStringLiteral("Ln %1, Col %2").arg(place.line).arg(place.column));
    };
    QObject::connect(&memo, &QPlainTextEdit::cursorPositionChanged, label, follow);
    follow();
    return label;
}

void openPreview(TForm2& editor) {
    auto* preview = editor.findChild<LayoutPreview*>(QString(), Qt::FindDirectChildrenOnly);
    if (!preview)
        preview = new LayoutPreview(editor);
    preview->open();
}

} // namespace

void addEditorTools(TForm2& editor, QHBoxLayout& row) {
    row.insertWidget(0, cursorPlace(*editor.Memo1, editor.Panel1));
    const QKeySequence keys(Qt::CTRL | Qt::Key_P);
    auto* link = new QLabel(QStringLiteral("<a href=\"preview\">Preview</a>"), editor.Panel1);
    link->setObjectName(QStringLiteral("PreviewLink"));
    link->setToolTip(QStringLiteral("The passport that this text decodes, as you type (%1)")
                         .arg(keys.toString(QKeySequence::NativeText)));
    link->setAccessibleName(QStringLiteral("Layout preview"));
    QObject::connect(link, &QLabel::linkActivated, &editor, [&editor] { openPreview(editor); });
    auto* shortcut = new QShortcut(keys, &editor);
    QObject::connect(shortcut, &QShortcut::activated, &editor, [&editor] { openPreview(editor); });
    row.insertWidget(row.indexOf(editor.Label1) + 1, link);
}
