#pragma once

#include <QLabel>

#include "settings/settings_check.h"

#include <cstddef>
#include <optional>
#include <vector>

/// The count of the problems of the settings editor's text ("2 errors,
/// 1 warning"; empty when there are none), with the list in its tooltip. A
/// click asks for the first problem's place.
class SettingsCheckLabel : public QLabel {
    Q_OBJECT

  public:
    explicit SettingsCheckLabel(QWidget* parent);

    /// Shows the problems of a check.
    void showProblems(const std::vector<dravik::SettingsProblem>& problems);

  signals:
    /// A click on the count: the first problem's line, counted from 1, and
    /// the columns of its entry or text there.
    void problemChosen(std::size_t line, dravik::ColumnSpan span);

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    /// The first problem; none without problems.
    std::optional<dravik::SettingsProblem> first_;
};
