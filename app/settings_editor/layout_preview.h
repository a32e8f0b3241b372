#pragma once

#include "settings/settings_check.h"
#include "workspace/pasport_preview.h"

#include <QWidget>

#include <cstddef>

class HexView;
class QLabel;
class QSplitter;
class QTableWidget;
class SettingsPipeline;

/// The "Layout preview" window beside the settings editor: the passport of
/// the working folder's module as the editor's unsaved text decodes it, row by
/// row with each row's layout entry, and the module's bytes with each field's
/// bytes marked. It shows each pass of the editor's pipeline while it is
/// open, and follows the editor's cursor to the row of its line; a row
/// chosen here asks for its entry's line. It writes nothing and changes
/// nothing outside itself, and closes with the editor.
class LayoutPreview : public QWidget {
    Q_OBJECT

  public:
    LayoutPreview(QWidget& editor, SettingsPipeline& pipeline);

    /// Shows the window beside the editor, with the module of the current
    /// directory (the folder the Pasport command reads) read anew, and has
    /// the pipeline decode it.
    void open();

    /// The editor's cursor stands on line (counted from 1): its row becomes
    /// the current one, and the note says when it is in another section.
    void followLine(std::size_t line);

    QLabel* moduleLabel() const { return module_; }
    QLabel* note() const { return note_; }
    QTableWidget* rows() const { return rows_; }
    HexView* bytes() const { return bytes_; }

  signals:
    /// The rows and bytes show the newest text's decode.
    void refreshed();
    /// A row was chosen: the line of its entry, counted from 1.
    void lineChosen(std::size_t line);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void showPreview(const dravik::PasportPreview& preview);
    void showRows();
    void showRow(int index, const dravik::PreviewRow& row);
    void markBytes();
    void rowChosen();
    void followCursor();
    void placeBesideEditor();

    QWidget& editor_;
    SettingsPipeline& pipeline_;
    QLabel* module_;
    QLabel* note_;
    QSplitter* split_;
    QTableWidget* rows_;
    HexView* bytes_;
    /// The module shown; an empty path for none.
    dravik::PasportCandidate shownModule_;
    dravik::PasportPreview preview_;
    /// The editor's cursor's line.
    std::size_t cursorLine_ = 1;
    /// True while the window itself moves the editor's cursor or the
    /// current row, so that the two do not chase each other.
    bool moving_ = false;
};
