#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "physics/calculation.h"

namespace tesral {

/**
 * One piece of a view's heavy work on a worker thread, so the window stays responsive.
 * The work gets a Watch (stop flag and progress) and returns what the view does with its
 * result on the user-interface thread. A new start() cancels the work still running; only
 * the result of the last start is applied. cancel() (Escape) stops it within a block.
 */
class ViewTask : public QObject {
    Q_OBJECT

  public:
    /** Runs on the worker; the returned step runs on the view's thread (may be empty). */
    using Work = std::function<std::function<void()>(const physics::Watch& watch)>;

    explicit ViewTask(QObject* parent = nullptr);
    /** Cancels the work still running and waits for it. */
    ~ViewTask() override;

    void start(Work work);
    void cancel();
    bool running() const { return running_; }
    /** How far the work is, 0..1. */
    double progress() const { return progress_.load(std::memory_order_relaxed); }
    /** Waits (running the event loop) until the work is applied; for tests and benchmarks. */
    bool waitForFinished(int milliseconds = 60000);

  signals:
    void runningChanged(bool running);
    /** After the result was applied; `cancelled` when it was stopped instead. */
    void finished(bool cancelled);
    /** The work ended with an exception (not enough memory...): why. */
    void failed(const QString& why);

  private:
    void launch();
    void join();

    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> stop_;
    std::atomic<double> progress_{0.0};
    Work pending_;
    bool running_ = false;
};

}  // namespace tesral
