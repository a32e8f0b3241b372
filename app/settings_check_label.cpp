#include "settings_check_label.h"

#include "cp1251_text.h"

#include <QFutureWatcher>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

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

// Where a line of the settings text starts in the editor: each paragraph is a
// line, and so is each part of one that a line separator splits, as the text
// is written with CR LF for both.
int lineStart(const QTextDocument& document, std::size_t line) {
    std::size_t current = 1;
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        for (int start = 0;; ++current) {
            if (current == line)
                return block.position() + start;
            const auto separator = text.indexOf(QChar::LineSeparator, start);
            if (separator < 0)
                break;
            start = static_cast<int>(separator) + 1;
        }
        ++current;
    }
    return document.characterCount() - 1;
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
    showProblems(dravik::checkSettings(settingsBytes_(memo_->document()->toRawText())));
}

void SettingsCheckLabel::checkInWorker() {
    const std::uint64_t check = ++checks_;
    // The worker gets copies only: the label may go before it ends.
    auto* watcher = new QFutureWatcher<std::vector<dravik::SettingsProblem>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, check] {
        if (check == checks_)
            showProblems(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(
        [convert = settingsBytes_, rawText = memo_->document()->toRawText()] {
            return dravik::checkSettings(convert(rawText));
        }));
}

void SettingsCheckLabel::showProblems(const std::vector<dravik::SettingsProblem>& problems) {
    firstProblemLine_ = problems.empty() ? 0 : problems.front().line;
    setText(problems.empty() ? QString()
                             : QString::fromStdString(dravik::problemCountText(problems)));
    setToolTip(problems.empty() ? QString() : problemList(problems));
    setCursor(problems.empty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
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
    cursor.setPosition(lineStart(*memo_->document(), firstProblemLine_));
    memo_->setTextCursor(cursor);
    memo_->centerCursor();
    memo_->setFocus(Qt::MouseFocusReason);
}
