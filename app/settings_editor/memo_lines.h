#pragma once

#include <QObject>

#include <cstddef>

class QTextCursor;
class QTextDocument;

/// The line of a position, counted from 1, and its column in characters,
/// counted from 1.
struct MemoPlace {
    std::size_t line = 1;
    int column = 1;
};

/// The settings editor's lines as the settings file has them: each paragraph
/// is a line, and so is each part of one that a line separator (Shift+Enter)
/// splits, as the text is written with CR LF for both. Quick while the text
/// holds no line separator (a paragraph is then a line), which it watches for
/// as the text changes. One for each document, owned by it.
class MemoLines : public QObject {
    Q_OBJECT

  public:
    /// The document's, made at the first call.
    static MemoLines* of(QTextDocument* document);

    /// Where a line, counted from 1, starts in the document; the end of the
    /// document for a line past the last.
    int lineStart(std::size_t line) const;
    /// The line and column of the cursor's position.
    MemoPlace place(const QTextCursor& cursor) const;

  private:
    explicit MemoLines(QTextDocument* document);
    void changed(int position, int removed, int added);

    QTextDocument* document_;
    /// Once seen, counted the slow way until the document is replaced.
    bool separators_ = false;
};
