#include "physics/calculation.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "lattice/fixed_text.h"
#include "physics/intensity.h"
#include "physics/model_head.h"
#include "physics/one_site_model.h"
#include "physics/scattering_factor.h"
#include "report/large_run.h"

namespace tesral::physics {

namespace {

/** Replaces the text between `key` and `next` (or the end) in a head line. */
void setField(std::string& line, const std::string& key, const std::string& next,
              const std::string& value) {
    const std::size_t at = line.find(key);
    if (at == std::string::npos) return;
    const std::size_t from = at + key.size();
    const std::size_t to = next.empty() ? std::string::npos : line.find(next, from);
    line.replace(from, to == std::string::npos ? std::string::npos : to - from, value);
}

const std::string kWavelengthKey = "wavelength = ";
const std::string kThetaMinKey = ", thmin = ";
const std::string kThetaMaxKey = ", thmax = ";
const std::string kQiMaxKey = ", qimax = ";

/** A model's strain applies to its run unless the run brings its own. */
void takeModelStrain(Calculation& c) {
    if (c.model && c.model->phasonStrain && !c.parameters.phasonStrain)
        c.parameters.phasonStrain = c.model->phasonStrain;
}

/** The model a powder pattern is seen with: the calculation's, or one Al site with the window. */
StructureModel powderModel(const Calculation& calculation) {
    return calculation.model ? *calculation.model
                             : oneSiteModel(calculation.parameters.system, "window");
}

/** Why the request cannot give a pattern of this radiation; every one a mistake of the inputs. */
std::string requestProblem(const Radiation& radiation, const PowderRequest& request,
                           LpSettings& lp) {
    try {
        lp = lpSettingsFor(radiation, request.monochromator);
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    if (!request.profile) return {};
    if (std::string problem = gridProblem(request.grid); !problem.empty()) return problem;
    return shapeProblem(request.shape, request.grid);
}

/**
 * The calculation of a powder pattern: its model, the theta window from the grid (at the
 * six digits a typed field would hold) and the loop limits widened to whole orbits at the
 * wavelength in use. `problem` says why there is none.
 */
Calculation powderCalculation(const Calculation& calculation, const PowderRequest& request,
                              std::string& problem) {
    Calculation c = calculation;
    c.model = powderModel(calculation);
    takeModelStrain(c);
    RunParameters& p = c.parameters;
    if (request.thetaFromGrid) {
        // Lines a little outside the grid still reach into it.
        const std::array<double, 2> span =
            request.span.value_or(std::array<double, 2>{request.grid.start, request.grid.stop});
        if (!request.keepThetaMin) {
            const std::string low = printedNumber("%.6g", std::max(0.0, span[0] / 2.0 - 1.0));
            p.thetaMin = std::strtod(low.c_str(), nullptr);
            setField(c.header.limitsText, kThetaMinKey, kThetaMaxKey, low);
        }
        if (!request.keepThetaMax) {
            const std::string high = printedNumber("%.6g", std::min(90.0, span[1] / 2.0 + 1.0));
            p.thetaMax = std::strtod(high.c_str(), nullptr);
            setField(c.header.limitsText, kThetaMaxKey, kQiMaxKey, high);
        }
    }
    p.wavelength = c.wavelength();
    problem = widenToWholeOrbits(p);
    return c;
}

/** Writes the model's intensities; a model the run cannot use fails the run with why. */
bool writeIntensities(const StructureModel& model, RunResult& run,
                      const std::function<bool()>& stopped) {
    try {
        return fillIntensities(model, run, stopped);
    } catch (const std::invalid_argument& e) {
        run.status = RunStatus::Failed;
        run.message = e.what();
        run.table = ReflectionTable();
        return false;
    }
}

std::function<bool()> stopOf(const Watch& watch) {
    const std::atomic<bool>* stop = watch.stop;
    return [stop] { return stop && stop->load(std::memory_order_relaxed); };
}

const std::string kCancelledMessage = "The run was cancelled.";

}  // namespace

double wavelengthFor(const Radiation& radiation, double xrayWavelength) {
    switch (radiation.kind) {
        case RadiationKind::XRay:
            return xrayWavelength;
        case RadiationKind::Electron:
            // At the six digits every header shows: a run typed with that wavelength is the
            // same run, row for row.
            return std::strtod(
                printedNumber("%.6g", electronWavelength(radiation.kilovolts)).c_str(), nullptr);
        case RadiationKind::Neutron:
            return radiation.wavelength;
    }
    return xrayWavelength;
}

std::string radiationText(const Radiation& radiation, double wavelength) {
    const std::string tail = "wavelength " + printedNumber("%.7g", wavelength) + " A";
    switch (radiation.kind) {
        case RadiationKind::XRay:
            return "X-rays, " + tail;
        case RadiationKind::Electron:
            return "electrons " + printedNumber("%g", radiation.kilovolts) + " kV, " + tail;
        case RadiationKind::Neutron:
            return "neutrons, " + tail;
    }
    return tail;
}

std::string tooManyRowsMessage(BoxCount rowBound, BoxCount maxRows) {
    return "this run may produce up to " + boxCountText(rowBound) + " reflections, more than " +
           "--max-rows " + boxCountText(maxRows) +
           "; narrow the theta window, qi max or the loop limits";
}

double Calculation::wavelength() const {
    return wavelengthFor(radiation(), parameters.wavelength);
}

std::optional<Calculation> calculationFrom(const RunInputs& inputs,
                                           std::optional<StructureModel> model,
                                           std::string& error) {
    std::optional<RunParameters> parameters = readRunParameters(inputs, error);
    if (!parameters) return std::nullopt;
    Calculation calculation;
    calculation.parameters = std::move(*parameters);
    calculation.header = buildRunHeader(inputs);
    calculation.model = std::move(model);
    return calculation;
}

PreparedRun prepare(const Calculation& calculation) {
    RunParameters parameters = calculation.parameters;
    // A model's strain applies to its run unless the run brings its own.
    if (calculation.model && calculation.model->phasonStrain && !parameters.phasonStrain)
        parameters.phasonStrain = calculation.model->phasonStrain;
    RunHeader header = calculation.header;
    const double wavelength = calculation.wavelength();
    if (calculation.model) {
        if (calculation.model->radiation.kind != RadiationKind::XRay) {
            parameters.wavelength = wavelength;
            setField(header.limitsText, kWavelengthKey, kThetaMinKey,
                     printedNumber("%.7g", wavelength));
        }
        header.modelText = modelHeadLine(*calculation.model, wavelength);
    }
    PreparedRun run = prepareRun(parameters, std::move(header));
    if (!run.ready()) return run;
    if (calculation.maxRows && run.rowBound > *calculation.maxRows) {
        run.message = tooManyRowsMessage(run.rowBound, *calculation.maxRows);
        return run;
    }
    if (calculation.model) run.message = modelProblem(*calculation.model, parameters.system);
    return run;
}

RowsStep intensitiesStep(const Calculation& calculation) {
    if (!calculation.model) return {};
    return [model = *calculation.model](RunResult& run, const std::function<bool()>& stopped) {
        return writeIntensities(model, run, stopped);
    };
}

RunOutcome run(const Calculation& calculation, const PreparedRun& prepared, RunJobOptions options,
               const TableStatistics& previous) {
    options.rowsStep = intensitiesStep(calculation);
    return runJob(prepared, previous, options);
}

PreparedRun preparePowder(const Calculation& calculation, const PowderRequest& request) {
    LpSettings lp;
    std::string problem = requestProblem(powderModel(calculation).radiation, request, lp);
    Calculation c;
    if (problem.empty()) c = powderCalculation(calculation, request, problem);
    if (!problem.empty()) {
        PreparedRun refused;
        refused.message = problem;
        refused.header = calculation.header;
        return refused;
    }
    return prepare(c);
}

PowderResult powder(const Calculation& calculation, const PowderRequest& request,
                    const Watch& watch) {
    PowderResult out;
    out.request = request;
    out.model = powderModel(calculation);
    LpSettings lp;
    out.message = requestProblem(out.model.radiation, request, lp);
    if (!out.ok()) {
        out.usageMistake = true;
        return out;
    }
    const Calculation c = powderCalculation(calculation, request, out.message);
    if (!out.ok()) return out;
    const PreparedRun prepared = prepare(c);
    if (!prepared.ready()) {
        out.message = prepared.message;
        return out;
    }
    RunJobOptions job;
    job.points = false;
    job.stop = watch.stop;
    job.progress = watch.progress;
    RunOutcome outcome = run(c, prepared, std::move(job));
    out.run = std::move(outcome.result);
    if (out.run.status != RunStatus::Completed) {
        out.message = out.run.message.empty() ? kCancelledMessage : out.run.message;
        return out;
    }
    const std::function<bool()> stopped = stopOf(watch);
    out.lines = powderLines(out.run, lp, stopped);
    if (stopped()) {
        out.message = kCancelledMessage;
        out.lines.clear();
        return out;
    }
    // As a refinement reports it: 2-theta observed = 2-theta calculated + zero shift.
    if (request.zero != 0.0)
        for (PowderLine& line : out.lines) line.twoTheta += request.zero;
    const RunParameters& p = out.run.parameters;
    out.lattice = {p.wavelength, p.a, p.c, out.run.indexDimension == 5};
    if (request.profile) out.profile = powderProfile(out.lines, request.grid, request.shape);
    return out;
}

namespace {

std::size_t membersOf(const ZoneSection& section) {
    return static_cast<std::size_t>(std::count_if(section.spots.begin(), section.spots.end(),
                                                  [](const ZoneSpot& s) { return !s.nearZone; }));
}

/** The run with the loop limits widened to the theta and qi windows; `problem` says why not. */
PreparedRun wholeSectionRun(const Calculation& calculation, std::string& problem) {
    Calculation c = calculation;
    takeModelStrain(c);
    c.parameters.wavelength = c.wavelength();
    c.maxRows.reset();  // bounded below, in the terms of a section
    problem = widenToWholeOrbits(c.parameters);
    if (!problem.empty()) return {};
    PreparedRun run = prepare(c);
    problem = run.message;
    if (problem.empty() && calculation.maxRows && run.rowBound > *calculation.maxRows)
        problem = "the whole section lies in a region of up to " + boxCountText(run.rowBound) +
                  " reflections, more than the " + boxCountText(*calculation.maxRows) +
                  " allowed; narrow the theta window or qi max";
    return run;
}

}  // namespace

ZoneResult zone(const Calculation& calculation, const ZoneRequest& request, const Watch& watch,
                ZoneExtent extent) {
    ZoneResult out;
    ZoneRequest watched = request;
    if (!watched.stop) watched.stop = watch.stop;
    PreparedRun prepared;
    if (extent == ZoneExtent::WholeSection) {
        prepared = wholeSectionRun(calculation, out.message);
        if (!out.ok()) return out;
    } else {
        prepared = prepare(calculation);
        if (!prepared.ready()) {
            out.message = prepared.message;
            return out;
        }
    }
    out.section = computeZoneSection(prepared, watched);
    if (out.section.run.status != RunStatus::Completed) {
        out.message = out.section.run.message;
        return out;
    }
    if (extent == ZoneExtent::LoopLimits) {
        // Looked for only when the whole section would not be refused as too large.
        Calculation bounded = calculation;
        bounded.maxRows = calculation.maxRows.value_or(kLargeRunRows);
        std::string problem;
        const PreparedRun whole = wholeSectionRun(bounded, problem);
        if (problem.empty()) {
            const ZoneSection wide = computeZoneSection(whole, watched);
            out.cutByLimits =
                wide.run.status == RunStatus::Completed && membersOf(wide) > membersOf(out.section);
        }
    }
    if (calculation.model) {
        const std::function<bool()> stopped = stopOf(watch);
        if (!writeIntensities(*calculation.model, out.section.run, stopped)) {
            out.message =
                out.section.run.message.empty() ? kCancelledMessage : out.section.run.message;
            return out;
        }
        out.intensities = true;
    }
    return out;
}

}  // namespace tesral::physics
