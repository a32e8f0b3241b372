#pragma once

#include "settings/settings_check.h"
#include "workspace/pasport_preview.h"

#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class HexView;
class MemoLines;
class QLabel;
class QSplitter;
class QTableWidget;
class TForm2;

/// The "Layout preview" window beside the settings editor: the passport of
/// the working folder's module as the editor's unsaved text decodes it, row by
/// row with each row's layout entry, and the module's bytes with each field's
/// bytes marked. It follows the editor's text at each check of it and the
/// editor's cursor to the row of its line; a row chosen here puts the editor's
/// cursor on its entry's line. It writes nothing and changes nothing outside
/// itself, and closes with the editor.
class LayoutPreview : public QWidget {
    Q_OBJECT

  public:
    explicit LayoutPreview(TForm2& editor);

    /// Shows the window beside the editor, with the module of the current
    /// directory (the folder the Pasport command reads) read anew.
    void open();

    /// Decodes the module by the editor's text as checked, if shown; the
    /// rows follow when refreshed is emitted.
    void refresh(const std::string& text, const std::vector<dravik::SettingsProblem>& problems);

    QLabel* moduleLabel() const { return module_; }
    QLabel* note() const { return note_; }
    QTableWidget* rows() const { return rows_; }
    HexView* bytes() const { return bytes_; }

  signals:
    /// The rows and bytes show the newest text's decode.
    void refreshed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void showRows();
    void showRow(int index, const dravik::PreviewRow& row);
    void markBytes();
    void rowChosen();
    void followCursor();
    void placeBesideEditor();

    TForm2& editor_;
    MemoLines* lines_;
    QLabel* module_;
    QLabel* note_;
    QSplitter* split_;
    QTableWidget* rows_;
    HexView* bytes_;
    /// The module shown; an empty path for none.
    dravik::PasportCandidate shownModule_;
    dravik::PasportPreview preview_;
    /// True while the window itself moves the editor's cursor or the
    /// current row, so that the two do not chase each other.
    bool moving_ = false;
    /// Counts the decodes begun; only the newest one's rows are shown.
    std::uint64_t passes_ = 0;
};
