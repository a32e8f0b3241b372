#include "app/settings_editor/settings_pipeline.h"

#include <QFutureWatcher>
#include <QTextDocument>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

SettingsPipeline::SettingsPipeline(QTextDocument* document,
                                   std::string (*settingsBytes)(QString rawText), QObject* parent)
    : QObject(parent), document_(document), settingsBytes_(settingsBytes),
      pause_(new QTimer(this)) {
    pause_->setSingleShot(true);
    pause_->setInterval(kPause);
    connect(pause_, &QTimer::timeout, this, &SettingsPipeline::passInWorker);
    connect(document_, &QTextDocument::contentsChanged, pause_, qOverload<>(&QTimer::start));
}

void SettingsPipeline::passNow() {
    pause_->stop();
    ++passes_;
    tell(dravik::passSettings(settingsBytes_(document_->toRawText()), module_, section_));
}

void SettingsPipeline::setModule(std::optional<dravik::PasportCandidate> module) {
    module_ = std::move(module);
}

void SettingsPipeline::setSection(std::optional<std::string> section) {
    section_ = std::move(section);
}

void SettingsPipeline::passInWorker() {
    const std::uint64_t pass = ++passes_;
    // The worker gets copies only: the pipeline may go before it ends.
    auto* watcher = new QFutureWatcher<dravik::SettingsPass>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, pass] {
        if (pass == passes_)
            tell(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(
        [convert = settingsBytes_, rawText = document_->toRawText(), module = module_,
         section = section_] { return dravik::passSettings(convert(rawText), module, section); }));
}

void SettingsPipeline::tell(const dravik::SettingsPass& pass) {
    emit checked(pass.problems);
    if (pass.reread)
        emit moduleReread(*pass.reread);
    if (pass.preview)
        emit previewed(*pass.preview);
}
