#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/box_count.h"
#include "engine/groups.h"
#include "engine/progress.h"
#include "engine/reflection_table.h"
#include "engine/run_parameters.h"
#include "lattice/lattice_basis.h"

namespace tesral {

/** The status text "of N loops", N = totalLoops - 1 (0 for an empty box). */
std::string loopsStatusText(BoxCount totalLoops);

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

inline const std::string kNotEnoughMemoryMessage =
    "Not enough memory for this run; narrow the theta window, qi max or the loop limits.";

/** Bytes a kept row costs the engine at its peak: the row and its note from the first pass. */
constexpr std::size_t kEngineBytesPerRow = sizeof(ReflectionRecord) + sizeof(std::uint32_t);

/**
 * A run read and checked but not started: what the caller shows before the loops (the box
 * size, the group's rules) and the bound it may want to ask about.
 */
struct PreparedRun {
    /** Why the run cannot start; empty when it can. */
    std::string message;
    RunHeader header;
    /** "extinction rules: " and the condition words; empty when the group is unknown. */
    std::string groupStatusText;
    SelectedGroup group;
    RunParameters parameters;
    LatticeBasis basis;
    int indexDimension = 0;
    /** Product of (2 L + 1) over the n limits. */
    BoxCount totalLoops = 0;
    /**
     * At least the number of rows the run can keep: the candidates of the index region
     * that can pass the theta and qi windows. Far cheaper than the run.
     */
    BoxCount rowBound = 0;

    bool ready() const { return message.empty(); }
};

/**
 * A result that carries the run's header, texts, parameters and basis but no rows yet: what
 * every way of running a prepared run starts from. Only the header, the texts and the message
 * are set when the run is not ready.
 */
RunResult resultWithoutRows(const PreparedRun& run);

/**
 * The run of numbers: checks the group, the lattice constants and the loop limits, builds the
 * basis and bounds the rows. `header` keeps the texts as typed.
 */
PreparedRun prepareRun(const RunParameters& parameters, RunHeader header);

/** Reads the inputs (the edge where texts become numbers) and prepares their run. */
PreparedRun prepareRun(const RunInputs& inputs);

/**
 * Runs a prepared run. `previous` carries the coordinate extremes of earlier runs of the
 * session. A cancelled or failed run publishes no rows; running out of memory fails with
 * kNotEnoughMemoryMessage.
 */
RunResult runPrepared(const PreparedRun& run, const TableStatistics& previous = {},
                      const ProgressCallback& progress = {});

/** prepareRun then runPrepared. */
RunResult runGeneration(const RunInputs& inputs, const TableStatistics& previous = {},
                        const ProgressCallback& progress = {});

}  // namespace tesral
