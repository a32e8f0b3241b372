#pragma once

#include <QDialog>

#include <string>

class Dialogs;
class QPlainTextEdit;
class QPushButton;
class QWidget;

/// The settings editor window, created hidden at start and kept for the run,
/// so its text survives from one opening to the next.
class TForm2 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm2(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
    QWidget* Panel1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
};

/// The Edit ini command: loads the settings file of startFolder into the
/// editor, shows it modally through dialogs and writes the text back on OK.
/// Failures raise the core's errors, which the window's guard reports.
void editSettings(TForm2& editor, const std::string& startFolder, Dialogs& dialogs);
