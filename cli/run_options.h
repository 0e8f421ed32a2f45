#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"
#include "engine/generation.h"
#include "engine/projected_points.h"
#include "engine/run_input_names.h"
#include "physics/calculation.h"
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
 * --columns: any of indices,theta,d,qeqi,xyz,hperp,intensity,hkl or none (hkl only with
 * --approximant); all but hperp and
 * intensity when absent. |H-perp| is scaled for the run once it is known.
 */
ReportColumns reportColumnsFrom(const Options& options, int indexDimension);

/** Runs that may keep more rows are refused before they start, unless --max-rows says. */
constexpr BoxCount kDefaultMaxRows = kLargeRunRows;

/** The largest --max-rows accepted: 2^100, beyond any run's row bound. */
constexpr BoxCount kLargestMaxRows = BoxCount{1} << 100;

/** --max-rows, or the default. */
BoxCount maxRowsFrom(const Options& options);

/** "calculating ... 42% of N loops" on stderr while a run works, when it is a terminal. */
class TerminalProgress {
  public:
    explicit TerminalProgress(BoxCount totalLoops);
    ~TerminalProgress();
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;
    /** Empty when standard error is no terminal; lives as long as this. */
    std::function<void(double)> callback();
    /** Clears the line. */
    void clear();

  private:
    bool terminal_;
    std::string loops_;
    int lastPercent_ = -1;
};

/**
 * The calculation of the inputs seen with `model`, refusing runs above `maxRows`; fields
 * that cannot be read throw std::runtime_error with why.
 */
physics::Calculation calculationFor(const RunInputs& inputs,
                                    std::optional<physics::StructureModel> model,
                                    std::optional<BoxCount> maxRows);

/** A note of why a run of these inputs kept no reflections, when the inputs tell. */
void noteEmptyRun(const RunInputs& inputs);

/**
 * Runs the calculation of the inputs and the model for a command (with the 3D plot's points
 * when `points` is given): progress on stderr when it is a terminal. A run refused (a row
 * bound above `maxRows`, a model that does not fit), failed or cancelled throws
 * std::runtime_error with the message.
 */
void runForCommand(const RunInputs& inputs, std::optional<physics::StructureModel> model,
                   BoxCount maxRows, RunResult& result, ProjectedPoints* points = nullptr);

/** The help text of the run options; the defaults those of RunInputs{}. */
std::string runOptionsHelp();

}  // namespace tesral::cli
