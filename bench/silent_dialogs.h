#pragma once

#include "app/shared/dialogs.h"

/// Dialogs that show nothing and answer No, for the window's benchmarks.
class SilentDialogs : public Dialogs {
  public:
    void showError(const QString&) override {}
    void showMessage(const QString&) override {}
    bool confirm(const QString&) override { return false; }
    bool runEditor(QDialog&) override { return false; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    QString chooseFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
};
