#include "app/settings_editor/settings_check_label.h"

#include "app/shared/cp1251_text.h"

#include <QMouseEvent>

namespace {

// The tooltip lists this many problems and counts the rest.
constexpr std::size_t kListedProblems = 30;

QString problemList(const std::vector<dravik::SettingsProblem>& problems) {
    QStringList lines;
    for (std::size_t i = 0; i < problems.size() && i < kListedProblems; ++i) {
        lines.append((QStringLiteral("Line ") + fromCp1251(dravik::problemText(problems[i])))
                         .toHtmlEscaped());
    }
    if (problems.size() > kListedProblems)
        lines.append(QStringLiteral("... and %1 more").arg(problems.size() - kListedProblems));
    // One problem a line, however long.
    return QStringLiteral("<p style=\"white-space:pre\">") + lines.join(QStringLiteral("<br>")) +
           QStringLiteral("</p>");
}

} // namespace

SettingsCheckLabel::SettingsCheckLabel(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("Label1"));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The count takes the room left of the button and never widens the window.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void SettingsCheckLabel::showProblems(const std::vector<dravik::SettingsProblem>& problems) {
    first_ = problems.empty() ? std::nullopt : std::optional(problems.front());
    setText(problems.empty() ? QString()
                             : QString::fromStdString(dravik::problemCountText(problems)));
    setToolTip(problems.empty() ? QString() : problemList(problems));
    setCursor(problems.empty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

void SettingsCheckLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        first_ && first_->line != 0)
        emit problemChosen(first_->line, first_->span);
    QLabel::mouseReleaseEvent(event);
}
