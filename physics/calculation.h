#pragma once

// One calculation for every caller: a run's numbers, the model it is seen with and the options
// that follow the model, with one pipeline for the reflection run, the powder pattern and the
// zone-axis section. The command line, the window and its views all go through here; nothing
// else applies a model to a run.

#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/generation.h"
#include "engine/zone_section.h"
#include "physics/lattice_refinement.h"
#include "physics/powder_lines.h"
#include "physics/powder_profile.h"
#include "physics/structure_model.h"
#include "report/run_job.h"

namespace tesral::physics {

/**
 * The wavelength (angstrom) of a run seen with `radiation`: X-rays `xrayWavelength` (the
 * anode's or the typed one), electrons the relativistic lambda(U) at the six digits the
 * headers show (so a run typed with that wavelength is the same run), neutrons the model's own.
 */
double wavelengthFor(const Radiation& radiation, double xrayWavelength);

/**
 * The radiation and the wavelength in use, as every header names them:
 * "X-rays, wavelength 0.7106867 A", "electrons 200 kV, wavelength 0.0250793 A",
 * "neutrons, wavelength 1.8 A".
 */
std::string radiationText(const Radiation& radiation, double wavelength);

/** Why a run of up to `rowBound` rows is refused above `maxRows` (the command line's --max-rows).
 */
std::string tooManyRowsMessage(BoxCount rowBound, BoxCount maxRows);

/** How a caller watches long work: both may be empty (the command line, the tests). */
struct Watch {
    /** Ends the work at the next block when set. */
    const std::atomic<bool>* stop = nullptr;
    /** Told the fraction done, from any thread. */
    std::function<void(double)> progress;
};

/**
 * Everything one calculation needs. `parameters` are numbers (read from the typed texts only
 * at the edges: the input panel, the configuration file, the command line); `header` keeps the
 * texts as typed for the heads of the outputs. The wavelength in `parameters` is the X-ray one
 * (anode or typed); the radiation of the model decides the wavelength the run uses.
 */
struct Calculation {
    RunParameters parameters;
    RunHeader header;
    /** Intensities are worked out when set; its radiation decides the wavelength. */
    std::optional<StructureModel> model;
    /** A run that may keep more rows is refused before its loops; none: no bound. */
    std::optional<BoxCount> maxRows;

    /** X-rays without a model. */
    Radiation radiation() const { return model ? model->radiation : Radiation{}; }
    /** The wavelength the run uses (see wavelengthFor). */
    double wavelength() const;
};

/**
 * A calculation of the typed inputs: the edge where texts become numbers. Nothing and `error`
 * set when a field cannot be read.
 */
std::optional<Calculation> calculationFrom(const RunInputs& inputs,
                                           std::optional<StructureModel> model, std::string& error);

/**
 * The run prepared: the radiation's wavelength in its parameters and head (the head's
 * wavelength is the one in use, its model line names the radiation), the group, the basis
 * and the row bound; `message` says why it cannot start (in this order: the numbers, a row
 * bound above maxRows, the model's problem with this system).
 */
PreparedRun prepare(const Calculation& calculation);

/**
 * The rows step that writes the calculation's intensities (none without a model), for a run
 * job on another thread; it keeps its own copy of the model. A model the run cannot use
 * (a window that cannot be built) fails the run with why.
 */
RowsStep intensitiesStep(const Calculation& calculation);

/**
 * The reflection run with its intensities (when the calculation has a model) and what the
 * job options ask besides (3D points, list file). The job's rows step is the model's.
 * `previous` carries the coordinate extremes of earlier runs of a session.
 */
RunOutcome run(const Calculation& calculation, const PreparedRun& prepared,
               RunJobOptions options = {}, const TableStatistics& previous = {});

/** What a powder pattern needs besides the calculation. */
struct PowderRequest {
    TwoThetaGrid grid;
    ProfileShape shape;
    /** X-rays: the monochromator's 2-theta (degrees); 0 for none. */
    double monochromator = 0.0;
    /** Added to every line's 2-theta (degrees), as a refinement reports it. */
    double zero = 0.0;
    /**
     * The theta window follows the grid (or `span`), a degree beyond each end, unless the
     * caller keeps its own: both bounds (thetaFromGrid false) or one of them.
     */
    bool thetaFromGrid = true;
    bool keepThetaMin = false;
    bool keepThetaMax = false;
    /** The 2-theta span (degrees) the theta window follows instead of the grid's. */
    std::optional<std::array<double, 2>> span;
    /** Lines only (no profile on the grid). */
    bool profile = true;
};

/** A powder pattern: the whole-orbit run, its model, lines and profile. */
struct PowderResult {
    /** Why there is no pattern (electrons, a grid that cannot be used, a cancelled run...). */
    std::string message;
    /** True when the message is a mistake of the inputs (the command line's exit 2). */
    bool usageMistake = false;
    RunResult run;
    /** The model the intensities come from: the calculation's, or one Al site with the window. */
    StructureModel model;
    std::vector<PowderLine> lines;
    std::vector<double> profile;  // on request.grid, highest point 100
    PowderRequest request;
    /** The lattice the lines belong to, for the lattice refinement. */
    LineLattice lattice;

    bool ok() const { return message.empty(); }
};

/**
 * The run prepared for a powder pattern: every reflection of the theta and qi windows (whole
 * orbits, whatever the loop limits), the theta window from the grid. Callers that ask about a
 * large region look at its rowBound before powder() runs it.
 */
PreparedRun preparePowder(const Calculation& calculation, const PowderRequest& request);

PowderResult powder(const Calculation& calculation, const PowderRequest& request,
                    const Watch& watch = {});

/** A zone-axis section with the calculation's intensities. */
struct ZoneResult {
    std::string message;
    ZoneSection section;
    bool intensities = false;
    /**
     * True when the loop limits cut the section: the whole section of the theta and qi
     * windows holds members the run's box does not. Looked for with the run's own limits only,
     * and only when the whole section's run would not be refused as too large.
     */
    bool cutByLimits = false;

    bool ok() const { return message.empty(); }
};

/** Which reflections a zone section takes. */
enum class ZoneExtent {
    /** Those of the run's loop limits, as a run with the same inputs would keep them. */
    LoopLimits,
    /**
     * Every reflection of the theta and qi windows: the loop limits widened as for the powder
     * pattern, bounded by maxRows.
     */
    WholeSection,
};

ZoneResult zone(const Calculation& calculation, const ZoneRequest& request, const Watch& watch = {},
                ZoneExtent extent = ZoneExtent::LoopLimits);

}  // namespace tesral::physics
