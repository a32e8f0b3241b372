#pragma once

#include "settings/settings_check.h"
#include "workspace/pasport_preview.h"

#include <QWidget>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class HexView;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSplitter;
class QTableWidget;
class SettingsPipeline;

/// The "Layout preview" window beside the settings editor: the passport of
/// a module (one of the working folder's, or any file the user opens) as the
/// editor's unsaved text decodes it, by its family's section or by the one
/// the editor's cursor stands in, row by
/// row with each row's layout entry, and the module's bytes with each field's
/// bytes marked. It shows each pass of the editor's pipeline while it is
/// open, and follows the editor's cursor to the row of its line; a row
/// chosen here asks for its entry's line. It writes nothing and changes
/// nothing outside itself, and closes with the editor.
class LayoutPreview : public QWidget {
    Q_OBJECT

  public:
    /// Asks the user for a file: caption, the folder to start in, the filter.
    using FileChooser =
        std::function<QString(const QString& caption, const QString& start, const QString& filter)>;

    LayoutPreview(QWidget& editor, SettingsPipeline& pipeline, FileChooser chooseFile);

    /// Shows the window beside the editor, with the module chosen last while
    /// the editor is open, else the one of the current directory that the
    /// Pasport command reads, read anew, and has the pipeline decode it.
    void open();

    /// Gives the keyboard focus to the rows.
    void focusRows();

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
    /// The user accepts the [Mod] line offered for the section at the cursor:
    /// text (its lines parted by "\n") to insert before line (counted from 1).
    void familyLineAsked(std::size_t line, const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void listModules();
    void moduleActivated(int index);
    void loadModule();
    void showModule(dravik::OpenedModule opened);
    void decodeWithCursorSection();
    void showStatus();
    void fitColumns();
    void showPreview(const dravik::PasportPreview& preview);
    void showRows();
    void showRow(int index, const dravik::PreviewRow& row);
    void markBytes();
    void rowChosen();
    void followCursor();
    void placeBesideEditor();

    QWidget& editor_;
    SettingsPipeline& pipeline_;
    FileChooser chooseFile_;
    QComboBox* chooser_;
    QCheckBox* useCursorSection_;
    QLabel* module_;
    /// The status line: what is said of the module and of its decode.
    QLabel* note_;
    QPushButton* addFamilyLine_;
    QSplitter* split_;
    QTableWidget* rows_;
    HexView* bytes_;
    /// The chooser's modules, in its order; "Open..." follows them.
    std::vector<std::string> choices_;
    /// The module the user chose last while the editor is open; empty for
    /// the working folder's own.
    std::string chosen_;
    /// The module shown; an empty path for none.
    dravik::PasportCandidate shownModule_;
    /// What the status line says of the module as it was opened (Windows-1251).
    std::optional<std::string> moduleNote_;
    /// The section the pipeline decodes with; none for the family code's.
    std::optional<std::string> section_;
    /// True until the rows of a newly opened module are shown.
    bool fitColumns_ = false;
    /// The width that shows the rows' columns whole, as far as they open.
    int rowsWidth_ = 0;
    dravik::PasportPreview preview_;
    /// The editor's cursor's line.
    std::size_t cursorLine_ = 1;
    /// True while the window itself moves the editor's cursor or the
    /// current row, so that the two do not chase each other.
    bool moving_ = false;
};
