#pragma once

#include "settings/settings_file.h"
#include "settings/settings_lines.h"

#include <QDialog>

#include <cstddef>
#include <string>
#include <string_view>

class Dialogs;
class LayoutPreview;
class SettingsCheckLabel;
class SettingsPipeline;
class QKeyEvent;
class QPlainTextEdit;
class QString;
class QPushButton;
class QWidget;

/// The largest settings text the editor loads or holds: the settings' own
/// capacity, in bytes as written (CR LF line breaks).
inline constexpr std::size_t kMemoCapacity = dravik::kSettingsCapacity;

/// The settings editor window, created hidden at start and kept for the run,
/// so its text survives from one opening to the next.
class TForm2 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm2(QWidget* parent = nullptr);

    /// Replaces the editor's text by settings bytes (Windows-1251); CR LF, a
    /// lone LF and a lone CR each become one line break.
    void setSettingsText(std::string_view bytes);

    /// The editor's whole text as Windows-1251 bytes with CR LF line breaks,
    /// nothing added; a character without a Windows-1251 byte becomes "?".
    std::string settingsText() const;

    void setVisible(bool visible) override;

    /// The passes over the text that the count and the preview show.
    SettingsPipeline* pipeline() const { return pipeline_; }

    /// Opens the layout preview beside the editor, made at the first call.
    void openPreview();
    /// Closes the preview when it is open, else opens it.
    void togglePreview();

    QPlainTextEdit* Memo1 = nullptr;
    QWidget* Panel1 = nullptr;
    /// The count of the text's problems, left of the OK button.
    SettingsCheckLabel* Label1 = nullptr;
    QPushButton* BitBtn1 = nullptr;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    friend void editSettings(TForm2& editor, const std::string& startFolder, Dialogs& dialogs);

    void createMemo();
    /// Tells that an edit was refused: the text would pass kMemoCapacity.
    void refuseOverCapacity();
    void createPanel();
    void centreOnScreen();
    std::size_t cursorLine() const;
    /// Puts the cursor on line (counted from 1), in view, with the columns
    /// selected there; at the line's start when none are.
    void showLine(std::size_t line, dravik::ColumnSpan selected = {});
    /// Inserts lines (parted by "\n") before line (counted from 1; past the
    /// last line at the end) as one step to undo, the cursor kept where it is.
    void insertLines(std::size_t line, const QString& lines);

    SettingsPipeline* pipeline_ = nullptr;
    LayoutPreview* preview_ = nullptr;

    /// Where a refused key or paste is told, while Edit ini runs the editor.
    Dialogs* dialogs_ = nullptr;
};

/// The editor's raw text (QTextDocument::toRawText, which, unlike
/// toPlainText, keeps a no-break space) as settings bytes: Windows-1251, each
/// line break CR LF, a character without a byte "?".
std::string settingsBytes(QString rawText);

/// The Edit ini command: loads the settings file of startFolder into the
/// editor, shows it modally through dialogs and writes the text back on OK.
/// Failures raise the core's errors, which the window's guard reports.
void editSettings(TForm2& editor, const std::string& startFolder, Dialogs& dialogs);
