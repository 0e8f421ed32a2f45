#pragma once

#include <string>
#include <vector>

#include "cli/options.h"
#include "engine/generation.h"
#include "engine/projected_points.h"
#include "report/large_run.h"
#include "report/report_columns.h"

namespace tesral::cli {

/** --system and --convention values; anything else throws. */
QuasicrystalSystem systemFrom(const std::string& name);
MatrixConvention conventionFrom(const std::string& name);

/** The options that describe a run, as a user types them into the window's fields. */
std::vector<std::string> runOptionNames();

/** Builds the run inputs; unknown systems, groups, anodes or malformed lists throw. */
RunInputs runInputsFrom(const Options& options);

/**
 * --columns: any of indices,theta,d,qeqi,xyz,hperp,intensity or none; all but hperp and
 * intensity when absent. |H-perp| is scaled for the run once it is known.
 */
ReportColumns reportColumnsFrom(const Options& options, int indexDimension);

/** Runs that may keep more rows are refused before they start, unless --max-rows says. */
constexpr BoxCount kDefaultMaxRows = kLargeRunRows;

/** The largest --max-rows accepted: 2^100, beyond any run's row bound. */
constexpr BoxCount kLargestMaxRows = BoxCount{1} << 100;

/** --max-rows, or the default. */
BoxCount maxRowsFrom(const Options& options);

/**
 * Refuses a run whose row bound exceeds `maxRows`, then runs the generation job for a command
 * (with the 3D plot's points when `points` is given): progress on stderr when it is a
 * terminal. A refused, failed or cancelled run throws std::runtime_error with the message.
 */
void runForCommand(const RunInputs& inputs, BoxCount maxRows, RunResult& result,
                   ProjectedPoints* points = nullptr);

/** The help text of the run options. */
const char* runOptionsHelp();

}  // namespace tesral::cli
