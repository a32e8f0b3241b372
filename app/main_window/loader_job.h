#pragma once

#include <QFutureWatcher>
#include <QObject>

#include <functional>

/// Runs the loader commands' reading and renaming on a worker thread, one at
/// a time, so that the window keeps answering however large the loader is.
/// The worker's part gives what the window then does with its result; that
/// part runs on the window's thread, where the rows live.
class LoaderJob : public QObject {
    Q_OBJECT

  public:
    /// What the window does once the worker is done; it may raise.
    using Then = std::function<void()>;

    explicit LoaderJob(QObject* parent);

    /// Runs work on a worker and hands what it gives to the window's thread.
    /// While a job runs, a new one is not started: false. An exception of
    /// work is raised there when its Then runs.
    bool start(std::function<Then()> work);

    bool running() const { return running_; }

  signals:
    /// The worker is done: then is what the window does with its result.
    void done(const LoaderJob::Then& then);

  private:
    QFutureWatcher<Then> watcher_;
    bool running_ = false;
};
