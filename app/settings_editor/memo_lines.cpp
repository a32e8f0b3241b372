#include "app/settings_editor/memo_lines.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

int memoLineStart(const QTextDocument& document, std::size_t line) {
    std::size_t current = 1;
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        for (int start = 0;; ++current) {
            if (current == line)
                return block.position() + start;
            const auto separator = text.indexOf(QChar::LineSeparator, start);
            if (separator < 0)
                break;
            start = static_cast<int>(separator) + 1;
        }
        ++current;
    }
    return document.characterCount() - 1;
}

MemoPlace memoPlace(const QTextCursor& cursor) {
    const QTextBlock block = cursor.block();
    auto line = static_cast<std::size_t>(block.blockNumber()) + 1;
    for (QTextBlock before = block.previous(); before.isValid(); before = before.previous())
        line += static_cast<std::size_t>(before.text().count(QChar::LineSeparator));
    const QString text = block.text().left(cursor.positionInBlock());
    line += static_cast<std::size_t>(text.count(QChar::LineSeparator));
    const auto separator = text.lastIndexOf(QChar::LineSeparator);
    return {line, static_cast<int>(text.size() - separator)};
}

} // namespace

MemoLines* MemoLines::of(QTextDocument* document) {
    auto* lines = document->findChild<MemoLines*>(QString(), Qt::FindDirectChildrenOnly);
    return lines ? lines : new MemoLines(document);
}

MemoLines::MemoLines(QTextDocument* document) : QObject(document), document_(document) {
    connect(document, &QTextDocument::contentsChange, this, &MemoLines::changed);
    changed(0, 0, document->characterCount());
}

void MemoLines::changed(int position, int /*removed*/, int added) {
    // A change that covers the whole text (a new text) starts the watch anew.
    if (position == 0 && added >= document_->characterCount() - 1)
        separators_ = false;
    if (separators_ || added == 0)
        return;
    QTextCursor cursor(document_);
    cursor.setPosition(position);
    cursor.setPosition(std::min(position + added, document_->characterCount() - 1),
                       QTextCursor::KeepAnchor);
    separators_ = cursor.selectedText().contains(QChar::LineSeparator);
}

int MemoLines::lineStart(std::size_t line) const {
    if (separators_)
        return memoLineStart(*document_, line);
    const QTextBlock block = document_->findBlockByNumber(static_cast<int>(line) - 1);
    return block.isValid() ? block.position() : document_->characterCount() - 1;
}

MemoPlace MemoLines::place(const QTextCursor& cursor) const {
    if (separators_)
        return memoPlace(cursor);
    return {static_cast<std::size_t>(cursor.blockNumber()) + 1, cursor.positionInBlock() + 1};
}
