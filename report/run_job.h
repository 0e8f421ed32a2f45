#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "engine/generation.h"
#include "engine/projected_points.h"
#include "report/report_writer.h"

namespace tesral {

/** What a finished run hands back. */
struct RunOutcome {
    RunResult result;
    /** The 3D plot's points of a completed run. */
    ProjectedPoints points;
    /** Why the list file could not be written; nothing when it was, or when none was asked. */
    std::optional<std::string> listFileError;
};

/** The list file ("tmp.hkl") a completed run writes before it reports back. */
struct ListFileRequest {
    std::string path;  // as the operating system takes it
    RunHeader header;
    ReportOptions options;
};

/** The share of a job's progress for the loops when it writes a list file; its rows take the rest.
 */
inline constexpr double kLoopsShareOfProgress = 0.4;

/**
 * Work on the rows of a completed run before its points and list file are made (the window's
 * intensities), on the job's thread. It asks `stopped` now and then and returns false when it
 * stopped early.
 */
using RowsStep = std::function<bool(RunResult& run, const std::function<bool()>& stopped)>;

/** The steps of a run job after its loops, and how it is watched. */
struct RunJobOptions {
    /** The 3D plot's points of the rows. */
    bool points = true;
    /** The list file to write; none when null. */
    const ListFileRequest* list = nullptr;
    /** Ends the job at any step when set; may be null. */
    const std::atomic<bool>* stop = nullptr;
    /** Told the fraction of the whole job done, from any thread; may be empty. */
    std::function<void(double)> progress;
    /** Run after the loops; may be empty. */
    RowsStep rowsStep;
};

/**
 * A run and what follows it: the loops, the rows step, the 3D plot's points and the list
 * file, as the options ask. A stop that comes after the loops (a late Escape) still ends the run as
 * cancelled, with no rows, points or list-file error. The steps' exceptions (std::bad_alloc,
 * a thread that cannot start) go to the caller.
 */
RunOutcome runJob(const PreparedRun& run, const TableStatistics& previous,
                  const RunJobOptions& options);

}  // namespace tesral
