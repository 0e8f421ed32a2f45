#include "app/view_task.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <exception>
#include <new>
#include <system_error>

#include "engine/generation.h"

namespace tesral {

ViewTask::ViewTask(QObject* parent) : QObject(parent) {}

ViewTask::~ViewTask() {
    if (stop_) *stop_ = true;
    join();
}

void ViewTask::join() {
    if (worker_.joinable()) worker_.join();
}

void ViewTask::cancel() {
    pending_ = nullptr;
    if (stop_) *stop_ = true;
}

void ViewTask::start(Work work) {
    pending_ = std::move(work);
    if (running_) {
        // The running work ends at its next block; the new one starts when it has.
        *stop_ = true;
        return;
    }
    launch();
}

void ViewTask::launch() {
    join();
    Work work = std::move(pending_);
    pending_ = nullptr;
    stop_ = std::make_shared<std::atomic<bool>>(false);
    progress_ = 0.0;
    if (!running_) {
        running_ = true;
        emit runningChanged(true);
    }
    const std::shared_ptr<std::atomic<bool>> stop = stop_;
    const auto body = [this, stop, work = std::move(work)] {
        std::function<void()> apply;
        std::string failure;
        try {
            physics::Watch watch;
            watch.stop = stop.get();
            watch.progress = [this](double done) { progress_ = done; };
            apply = work(watch);
        } catch (const std::bad_alloc&) {
            failure = kNotEnoughMemoryMessage;
        } catch (const std::exception& e) {
            failure = e.what();
        }
        // Back on the view's thread: the result goes only to the last start, never to
        // cancelled work.
        QMetaObject::invokeMethod(
            this,
            [this, stop, apply = std::move(apply), failure = std::move(failure)] {
                join();
                const bool cancelled = *stop;
                if (!cancelled && !failure.empty()) emit failed(QString::fromStdString(failure));
                if (!cancelled && apply) apply();
                if (pending_) {
                    launch();
                    return;
                }
                running_ = false;
                emit runningChanged(false);
                emit finished(cancelled);
            },
            Qt::QueuedConnection);
    };
    try {
        worker_ = std::thread(body);
    } catch (const std::system_error&) {
        body();  // no thread to spare: the work runs here
    }
}

bool ViewTask::waitForFinished(int milliseconds) {
    if (!running_) return true;
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &ViewTask::finished, &loop, &QEventLoop::quit);
    timeout.start(milliseconds);
    loop.exec();
    return !running_;
}

}  // namespace tesral
