#pragma once

#include <QObject>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "engine/generation.h"
#include "report/report_writer.h"

namespace tesral {

/** What a finished run hands back to the window. */
struct RunOutcome {
    RunResult result;
    /** The 3D plot's points of a completed run. */
    ProjectedPoints points;
    /** Why the list file could not be written; nothing when it was. */
    std::optional<std::string> listFileError;
};

/** The list file ("tmp.hkl") a completed run writes before it reports back. */
struct ListFileRequest {
    std::string path;  // as the operating system takes it
    RunHeader header;
    ReportOptions options;
};

/**
 * Runs the generation on a worker thread, so the window stays responsive. Progress is read
 * by polling progress(); cancel() stops the run within a few milliseconds. finished() is
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
    /** The share of the progress bar for the loops; the list file's rows take the rest. */
    static constexpr double kLoopsShareOfProgress = 0.4;
    /** How far the current run is, 0..1: its loops, then the rows of its list file. */
    double progress() const { return progress_.load(std::memory_order_relaxed); }

    /**
     * Starts a prepared run; `previous` carries the session's coordinate extremes. Any failure
     * on the way, even to start the worker, ends as a failed run with its message.
     */
    void start(PreparedRun run, const TableStatistics& previous, ListFileRequest list);
    /** Asks the current run to stop; it ends as cancelled. Safe at any time. */
    void cancel() { cancel_ = true; }

  signals:
    void finished(const std::shared_ptr<tesral::RunOutcome>& outcome);

  private:
    void work(const PreparedRun& run, const TableStatistics& previous, const ListFileRequest& list);
    /** Emits finished(outcome) on the controller's thread, after joining the worker. */
    void report(const std::shared_ptr<RunOutcome>& outcome);

    std::thread worker_;
    bool busy_ = false;  // read and written on the controller's thread only
    std::atomic<bool> cancel_{false};
    std::atomic<double> progress_{0.0};
};

}  // namespace tesral
