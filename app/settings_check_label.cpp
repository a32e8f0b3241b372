#include "settings_check_label.h"

#include "memo_lines.h"
#include "shared/cp1251_text.h"

#include <QFutureWatcher>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

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

SettingsCheckLabel::SettingsCheckLabel(QPlainTextEdit* memo,
                                       std::string (*settingsBytes)(QString rawText),
                                       QWidget* parent)
    : QLabel(parent), memo_(memo), settingsBytes_(settingsBytes), pause_(new QTimer(this)) {
    setObjectName(QStringLiteral("Label1"));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The count takes the room left of the button and never widens the window.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    pause_->setSingleShot(true);
    pause_->setInterval(kPause);
    connect(pause_, &QTimer::timeout, this, &SettingsCheckLabel::checkInWorker);
    connect(memo_, &QPlainTextEdit::textChanged, pause_, qOverload<>(&QTimer::start));
}

void SettingsCheckLabel::checkNow() {
    pause_->stop();
    ++checks_;
    const std::string text = settingsBytes_(memo_->document()->toRawText());
    showProblems(text, dravik::checkSettings(text));
}

void SettingsCheckLabel::checkInWorker() {
    const std::uint64_t check = ++checks_;
    // The worker gets copies only: the label may go before it ends.
    using Checked = std::pair<std::string, std::vector<dravik::SettingsProblem>>;
    auto* watcher = new QFutureWatcher<Checked>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, check] {
        if (check == checks_)
            showProblems(watcher->result().first, watcher->result().second);
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(
        [convert = settingsBytes_, rawText = memo_->document()->toRawText()] {
            std::string text = convert(rawText);
            std::vector<dravik::SettingsProblem> problems = dravik::checkSettings(text);
            return Checked{std::move(text), std::move(problems)};
        }));
}

void SettingsCheckLabel::showProblems(const std::string& text,
                                      const std::vector<dravik::SettingsProblem>& problems) {
    firstProblemLine_ = problems.empty() ? 0 : problems.front().line;
    setText(problems.empty() ? QString()
                             : QString::fromStdString(dravik::problemCountText(problems)));
    setToolTip(problems.empty() ? QString() : problemList(problems));
    setCursor(problems.empty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
    emit checked(text, problems);
}

void SettingsCheckLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        goToFirstProblem();
    QLabel::mouseReleaseEvent(event);
}

void SettingsCheckLabel::goToFirstProblem() {
    if (firstProblemLine_ == 0)
        return;
    QTextCursor cursor(memo_->document());
    cursor.setPosition(MemoLines::of(memo_->document())->lineStart(firstProblemLine_));
    memo_->setTextCursor(cursor);
    memo_->centerCursor();
    memo_->setFocus(Qt::MouseFocusReason);
}
