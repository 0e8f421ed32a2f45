#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/reflection_table.h"
#include "engine/run_parameters.h"
#include "lattice/lattice_basis.h"

namespace tesral {

__extension__ typedef unsigned __int128 BoxCount;

/** Decimal text of a box count (a plain decimal without grouping). */
std::string boxCountText(BoxCount value);

/** The number of index vectors in the box: the product of (2 L + 1) over the n limits. */
BoxCount boxSize(const std::array<int, 6>& limits, int n);

/** The status text "of N loops", N = totalLoops - 1 (0 for an empty box). */
std::string loopsStatusText(BoxCount totalLoops);

/**
 * Progress of a run: the fraction of the index box covered so far (0..1). Returning false
 * cancels the run. May be called from worker threads, one call at a time.
 */
using ProgressCallback = std::function<bool(double fraction)>;

enum class RunStatus { Completed, Cancelled, Failed };

inline const std::string kInvalidNumberMessage =
    "The calculation produced an invalid number; check the lattice constants and the "
    "wavelength.";

struct RunResult {
    RunStatus status = RunStatus::Failed;
    std::string message;  // why a failed run failed
    RunParameters parameters;
    RunHeader header;
    LatticeBasis basis;
    int indexDimension = 0;
    /** "extinction rules: " followed by the group's condition words. */
    std::string groupStatusText;
    /** Product of (2 L + 1) over the n limits; the status shows totalLoops - 1. */
    BoxCount totalLoops = 0;
    ReflectionTable table;
    TableStatistics statistics;
};

/**
 * One generation run. `previous` carries the coordinate extremes of earlier runs of the
 * session. A cancelled or failed run publishes no rows.
 */
RunResult runGeneration(const RunInputs& inputs, const TableStatistics& previous = {},
                        const ProgressCallback& progress = {});

}  // namespace tesral
