#include "app/settings_editor/editor_tools.h"

#include "app/settings_editor/memo_lines.h"

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

} // namespace

void addEditorTools(QPlainTextEdit& memo, QWidget& window, QHBoxLayout& row, QWidget& count,
                    const std::function<void()>& openPreview) {
    row.insertWidget(0, cursorPlace(memo, row.parentWidget()));
    const QKeySequence keys(Qt::CTRL | Qt::Key_P);
    auto* link = new QLabel(QStringLiteral("<a href=\"preview\">Preview</a>"), row.parentWidget());
    link->setObjectName(QStringLiteral("PreviewLink"));
    link->setToolTip(QStringLiteral("The passport that this text decodes, as you type (%1)")
                         .arg(keys.toString(QKeySequence::NativeText)));
    link->setAccessibleName(QStringLiteral("Layout preview"));
    QObject::connect(link, &QLabel::linkActivated, &window, openPreview);
    auto* shortcut = new QShortcut(keys, &window);
    QObject::connect(shortcut, &QShortcut::activated, &window, openPreview);
    row.insertWidget(row.indexOf(&count) + 1, link);
}
