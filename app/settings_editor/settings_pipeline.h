#pragma once

#include "workspace/pasport_preview.h"

#include <QObject>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QString;
class QTextDocument;
class QTimer;

/// The settings editor's passes over its text. A short pause after the last
/// change, the text is read once in a worker thread, checked, and the
/// preview's module decoded by it, so that typing never waits; a pass
/// overtaken by a newer one is not told. It holds no widget: the problem
/// count, the preview and the editor follow its signals.
class SettingsPipeline : public QObject {
    Q_OBJECT

  public:
    /// Follows document's text; settingsBytes gives its raw text as the file
    /// would hold it, in any thread.
    SettingsPipeline(QTextDocument* document, std::string (*settingsBytes)(QString rawText),
                     QObject* parent);

    /// The pause after a change before the text is passed, in milliseconds.
    static constexpr int kPause = 300;

    /// Passes the text now, in this thread, instead of after the pause.
    void passNow();

    /// The module that each pass decodes, or none: then a pass only checks.
    void setModule(std::optional<dravik::PasportCandidate> module);

    /// The layout section that decodes the module whatever family code it
    /// holds, or none: then its family code chooses.
    void setSection(std::optional<std::string> section);

    /// Passes the text in the worker now, without the pause.
    void passInWorker();

  signals:
    /// The problems of the text as passed.
    void checked(const std::vector<dravik::SettingsProblem>& problems);
    /// The module was read anew, as its file changed since it was read, or
    /// is gone (an empty path): after checked, before previewed. Passes go on
    /// with the module that setModule gives next.
    void moduleReread(const dravik::OpenedModule& opened);
    /// The passport that the text as passed gives for the module, after checked.
    void previewed(const dravik::PasportPreview& preview);

  private:
    void tell(const dravik::SettingsPass& pass);

    QTextDocument* document_;
    std::string (*settingsBytes_)(QString rawText);
    QTimer* pause_;
    std::optional<dravik::PasportCandidate> module_;
    std::optional<std::string> section_;
    /// Counts the passes begun; only the newest one's result is told.
    std::uint64_t passes_ = 0;
};
