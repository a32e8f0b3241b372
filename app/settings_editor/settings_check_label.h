#pragma once

#include <QLabel>

#include "settings/settings_check.h"

#include <cstddef>
#include <vector>

/// The count of the problems of the settings editor's text ("2 errors,
/// 1 warning"; empty when there are none), with the list in its tooltip. A
/// click asks for the first problem's line.
class SettingsCheckLabel : public QLabel {
    Q_OBJECT

  public:
    explicit SettingsCheckLabel(QWidget* parent);

    /// Shows the problems of a check.
    void showProblems(const std::vector<dravik::SettingsProblem>& problems);

  signals:
    /// A click on the count: the line of the first problem, counted from 1.
    void lineChosen(std::size_t line);

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    std::size_t firstProblemLine_ = 0;
};
