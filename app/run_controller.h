#pragma once

#include <QObject>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "engine/generation.h"
#include "physics/calculation.h"
#include "report/run_job.h"

namespace tesral {

/**
 * Runs a calculation's reflection run (physics::run) on a worker thread, so the window stays
 * responsive. Progress is
 * read by polling progress(); cancel() stops the run within a few milliseconds. finished() is
 * emitted on the controller's thread once the worker has ended.
 */
class RunController : public QObject {
    Q_OBJECT

  public:
    explicit RunController(QObject* parent = nullptr);
    /** Cancels a run still in progress and waits for it. */
    ~RunController() override;

    /** From start() until finished() has been emitted. */
    bool running() const { return busy_; }
    /** How far the current run is, 0..1: its loops, then the rows of its list file. */
    double progress() const { return progress_.load(std::memory_order_relaxed); }

    /**
     * Starts the run `run` prepared of `calculation` (physics::prepare), with the intensities
     * of its model; `previous` carries the session's coordinate extremes. Any failure on the
     * way, even to start the worker, ends as a failed run with its message.
     */
    void start(physics::Calculation calculation, PreparedRun run, const TableStatistics& previous,
               ListFileRequest list);
    /** Asks the current run to stop; it ends as cancelled. Safe at any time. */
    void cancel() { cancel_ = true; }

  signals:
    void finished(const std::shared_ptr<tesral::RunOutcome>& outcome);

  private:
    void work(const physics::Calculation& calculation, const PreparedRun& run,
              const TableStatistics& previous, const ListFileRequest& list);
    /** Emits finished(outcome) on the controller's thread, after joining the worker. */
    void report(const std::shared_ptr<RunOutcome>& outcome);

    std::thread worker_;
    bool busy_ = false;  // read and written on the controller's thread only
    std::atomic<bool> cancel_{false};
    std::atomic<double> progress_{0.0};
};

}  // namespace tesral
