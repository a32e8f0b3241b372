#pragma once

#include "results/user_interface.h"

#include <QString>

class QDialog;

/// Every modal dialog of the window goes through this interface, so that tests
/// replace the message boxes and the settings editor's modal run with a fake
/// that records texts and gives answers.
class Dialogs {
  public:
    virtual ~Dialogs() = default;

    /// The common error report: caption the application title, error icon, OK.
    /// The text is shown as given (the full stop is already added).
    virtual void showError(const QString& text) = 0;

    /// A plain message: caption the application title, no icon, one "OK" that
    /// is both the default and the cancel button.
    virtual void showMessage(const QString& text) = 0;

    /// The Save All question: caption "Confirm", question icon, "&Yes" (the
    /// default) and "&No"; true for Yes.
    virtual bool confirm(const QString& question) = 0;

    /// Shows the settings editor (a modal dialog) modally; true when it
    /// closed with OK.
    virtual bool runEditor(QDialog& editor) = 0;

    /// Asks for a folder, starting at start; empty when the user cancels.
    virtual QString chooseFolder(const QString& caption, const QString& start) = 0;

    /// Asks for a file to open, starting at start and showing the files that
    /// filter (Qt's "Name (*.ext);;..." form) lets through; empty when the
    /// user cancels.
    virtual QString chooseFile(const QString& caption, const QString& start,
                               const QString& filter) = 0;

    /// Asks for a file to save as, starting at start (a folder or a proposed
    /// file); empty when the user cancels.
    virtual QString chooseSaveFile(const QString& caption, const QString& start,
                                   const QString& filter) = 0;
};

/// The dialogs of the real window: Qt message boxes, centred on the screen.
class MessageBoxDialogs : public Dialogs {
  public:
    explicit MessageBoxDialogs(QString applicationTitle);

    void showError(const QString& text) override;
    void showMessage(const QString& text) override;
    bool confirm(const QString& question) override;
    bool runEditor(QDialog& editor) override;
    QString chooseFolder(const QString& caption, const QString& start) override;
    QString chooseFile(const QString& caption, const QString& start,
                       const QString& filter) override;
    QString chooseSaveFile(const QString& caption, const QString& start,
                           const QString& filter) override;

  private:
    QString applicationTitle_;
};

/// The core's way to tell and ask the user, answered through Dialogs; texts
/// cross from Windows-1251 to Unicode here.
class DialogsUserInterface : public dravik::UserInterface {
  public:
    explicit DialogsUserInterface(Dialogs& dialogs) : dialogs_(dialogs) {}

    void showMessage(const std::string& text) override;
    bool confirm(const std::string& question) override;

  private:
    Dialogs& dialogs_;
};
