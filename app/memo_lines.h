#pragma once

#include <QObject>

#include <cstddef>

class QTextCursor;
class QTextDocument;

// The settings editor's lines as the settings file has them: each paragraph
// is a line, and so is each part of one that a line separator (Shift+Enter)
// splits, as the text is written with CR LF for both.

/// Where a line, counted from 1, starts in the document; the end of the
/// document for a line past the last.
int memoLineStart(const QTextDocument& document, std::size_t line);

/// The line of a position, counted from 1, and its column in characters,
/// counted from 1.
struct MemoPlace {
    std::size_t line = 1;
    int column = 1;
};
MemoPlace memoPlace(const QTextCursor& cursor);

/// The same for one document, quick while its text holds no line separator
/// (a paragraph is then a line), which it watches for as the text changes.
/// One for each document, owned by it.
class MemoLines : public QObject {
    Q_OBJECT

  public:
    /// The document's, made at the first call.
    static MemoLines* of(QTextDocument* document);

    int lineStart(std::size_t line) const;
    MemoPlace place(const QTextCursor& cursor) const;

  private:
    explicit MemoLines(QTextDocument* document);
    void changed(int position, int removed, int added);

    QTextDocument* document_;
    /// Once seen, counted the slow way until the document is replaced.
    bool separators_ = false;
};
