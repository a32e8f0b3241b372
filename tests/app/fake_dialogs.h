#pragma once

#include "app/settings_editor/settings_editor.h"
#include "app/shared/dialogs.h"

#include <QStringList>

#include <functional>

/// Records what the window shows and answers its questions, in place of the
/// message boxes and the settings editor's modal run.
class FakeDialogs : public Dialogs {
  public:
    void showError(const QString& text) override { errors << text; }
    void showMessage(const QString& text) override { messages << text; }
    bool confirm(const QString& question) override {
        questions << question;
        return confirmAnswer;
    }
    bool runEditor(QDialog& editor) override {
        ++editorRuns;
        // The window runs no other dialog through it.
        return editorAction ? editorAction(static_cast<TForm2&>(editor)) : false;
    }
    QString chooseFolder(const QString&, const QString& start) override {
        folderStarts << start;
        return folderAnswer;
    }
    QString chooseFile(const QString&, const QString& start, const QString&) override {
        fileStarts << start;
        return fileAnswer;
    }
    QString chooseSaveFile(const QString&, const QString& start, const QString&) override {
        saveStarts << start;
        return saveAnswer;
    }

    QStringList errors;
    QStringList messages;
    QStringList questions;
    bool confirmAnswer = true;
    int editorRuns = 0;
    /// What the user does in the editor; gives true for OK.
    std::function<bool(TForm2&)> editorAction;
    /// Where each folder dialog started, and the folder the user picks there.
    QStringList folderStarts;
    QString folderAnswer;
    /// The same for each file dialog.
    QStringList fileStarts;
    QString fileAnswer;
    /// The same for each dialog that asks for a file to save as.
    QStringList saveStarts;
    QString saveAnswer;
};
