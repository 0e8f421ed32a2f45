#include "report/run_job.h"

namespace tesral {

RunOutcome runJob(const PreparedRun& run, const TableStatistics& previous,
                  const RunJobOptions& options) {
    const std::atomic<bool>* stop = options.stop;
    const ListFileRequest* list = options.list;
    const std::function<void(double)>& progress = options.progress;
    const std::function<bool()> stopped = [stop] {
        return stop && stop->load(std::memory_order_relaxed);
    };
    const double loopsShare = list ? kLoopsShareOfProgress : 1.0;
    RunOutcome outcome;
    // Unwatched (the command line), the loops run on the calling thread with no watcher.
    ProgressCallback watch;
    if (progress || stop)
        watch = [&](double fraction) {
            if (progress) progress(loopsShare * fraction);
            return !stopped();
        };
    outcome.result = runPrepared(run, previous, watch);
    const auto completed = [&] {
        return outcome.result.status == RunStatus::Completed && !stopped();
    };
    if (options.rowsStep && completed()) options.rowsStep(outcome.result, stopped);
    // The 3D points and the list file of a large run take a moment too: a stop counts until
    // they are done, and the progress goes on moving through the list's rows.
    if (options.points && completed())
        outcome.points = projectedPointsOf(outcome.result.table, stop);
    if (list && completed()) {
        const std::size_t rows = outcome.result.table.size();
        std::atomic<std::size_t> written{0};
        const auto rowsFormatted = [&](std::size_t count) {
            if (!progress) return;
            const double done = static_cast<double>(written += count) / static_cast<double>(rows);
            progress(loopsShare + (1.0 - loopsShare) * done);
        };
        outcome.listFileError =
            writeReportFile(list->path, outcome.result.table, list->header, list->options, stop,
                            SafeFile::Accept::RegularFilesOnly, rowsFormatted);
    }
    if (outcome.result.status == RunStatus::Completed && stopped()) {
        outcome.result.status = RunStatus::Cancelled;
        outcome.result.table = ReflectionTable();
        outcome.points = ProjectedPoints();
        outcome.listFileError.reset();
    }
    return outcome;
}

}  // namespace tesral
