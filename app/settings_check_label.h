#pragma once

#include <QLabel>

#include "settings/settings_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class QPlainTextEdit;
class QTimer;

/// The count of the problems of the settings editor's text ("2 errors,
/// 1 warning"; empty when there are none), with the list in its tooltip. A
/// click puts the editor's cursor on the first problem's line. The text is
/// checked a short pause after the last change, in a worker thread, so that
/// typing never waits; a check overtaken by a newer one is not shown.
class SettingsCheckLabel : public QLabel {
    Q_OBJECT

  public:
    /// Follows the text of memo; settingsBytes gives its raw text as the file
    /// would hold it, in any thread.
    SettingsCheckLabel(QPlainTextEdit* memo, std::string (*settingsBytes)(QString rawText),
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
    void checkInWorker();
    void showProblems(const std::string& text,
                      const std::vector<dravik::SettingsProblem>& problems);
    void goToFirstProblem();

    QPlainTextEdit* memo_;
    std::string (*settingsBytes_)(QString rawText);
    QTimer* pause_;
    /// Counts the checks begun; only the newest one's result is shown.
    std::uint64_t checks_ = 0;
    std::size_t firstProblemLine_ = 0;
};
