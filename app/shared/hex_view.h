#pragma once

#include <QColor>
#include <QPlainTextEdit>

#include <cstdint>
#include <string_view>
#include <vector>

/// Bytes in hexadecimal and as Windows-1251 text, 16 a line after their
/// offset, with runs of them marked in colours. Read-only; it keeps no bytes.
class HexView : public QPlainTextEdit {
    Q_OBJECT

  public:
    /// A run of bytes to colour, in both columns.
    struct Mark {
        std::int64_t offset = 0;
        std::int64_t length = 0;
        QColor background;
        QColor foreground;
    };

    explicit HexView(QWidget* parent);

    /// Shows bytes, the first of them at offset first of their file, in
    /// whole lines: a line begins at a multiple of 16.
    void showBytes(std::string_view bytes, std::int64_t first);

    /// Colours the marks in their order, a later one over an earlier one
    /// where they overlap; the parts outside the shown bytes are left out.
    void setMarks(const std::vector<Mark>& marks);

    /// Scrolls so that the byte at offset is in the middle of the view.
    void centreOn(std::int64_t offset);

    /// The view's width that shows a whole line beside the vertical scroll
    /// bar, with no horizontal scrolling.
    int wholeLineWidth() const;

  private:
    QTextCursor cursorAt(std::int64_t offset) const;

    std::int64_t first_ = 0;
    std::int64_t end_ = 0;
};
