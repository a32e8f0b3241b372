#pragma once

#include "settings/settings_check.h"

#include <QLabel>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class QPlainTextEdit;
class QTimer;

/// The count of the problems of the settings editor's text ("2 errors,
/// 1 warning"; empty when there are none), with the list in its tooltip. A
/// click puts the editor's cursor on the first problem's line. The text is
/// checked a short pause after the last change, so that typing never waits.
class SettingsCheckLabel : public QLabel {
    Q_OBJECT

  public:
    /// Follows the text of memo; settingsText gives it as the file would hold it.
    SettingsCheckLabel(QPlainTextEdit* memo, std::function<std::string()> settingsText,
                       QWidget* parent);

    /// Checks the text now instead of after the pause.
    void checkNow();

    /// The pause after a change before the text is checked, in milliseconds.
    static constexpr int kPause = 300;

  signals:
    /// After each check, with the text as checked and its problems, so that
    /// what else follows the text does so in the same pass.
    void checked(const std::string& text, const std::vector<dravik::SettingsProblem>& problems);

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void goToFirstProblem();

    QPlainTextEdit* memo_;
    std::function<std::string()> settingsText_;
    QTimer* pause_;
    std::size_t firstProblemLine_ = 0;
};
