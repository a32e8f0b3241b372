#include "app/main_window/loader_job.h"

#include <QtConcurrent/QtConcurrentRun>

#include <exception>
#include <utility>

LoaderJob::LoaderJob(QObject* parent) : QObject(parent) {
    connect(&watcher_, &QFutureWatcherBase::finished, this, [this] {
        const Then then = watcher_.future().takeResult();
        running_ = false;
        emit done(then);
    });
}

bool LoaderJob::start(std::function<Then()> work) {
    if (running_)
        return false;
    running_ = true;
    // No exception may leave the worker: it travels to the window's thread.
    watcher_.setFuture(QtConcurrent::run([work = std::move(work)]() -> Then {
        try {
            return work();
        } catch (...) {
            return [failure = std::current_exception()] { std::rethrow_exception(failure); };
        }
    }));
    return true;
}
