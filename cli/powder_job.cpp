#include "cli/powder_job.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "cli/model_options.h"
#include "cli/option_values.h"
#include "cli/output.h"
#include "cli/run_options.h"
#include "lattice/fixed_text.h"
#include "physics/approximant_calculation.h"

namespace tesral::cli {
KnownOptions powderOptions() {
    KnownOptions known;
    known.valued = runOptionNames();
    for (std::string& name : modelOptionNames()) known.valued.push_back(std::move(name));
    for (const char* name : {"two-theta", "caglioti", "eta", "monochromator", "output", "size",
                             "measured", "labels", "zero"})
        known.valued.emplace_back(name);
    known.flags = {"difference", "peaks", "compare-quasicrystal"};
    return known;
}

physics::TwoThetaGrid gridFrom(const Options& options) {
    physics::TwoThetaGrid grid;
    if (options.has("two-theta")) {
        const std::vector<double> v = numbers(options, "two-theta", ':', 3);
        grid = {v[0], v[1], v[2]};
    }
    const std::string problem = physics::gridProblem(grid);
    if (!problem.empty()) throw UsageError("--two-theta: " + problem);
    return grid;
}

physics::ProfileShape shapeFrom(const Options& options) {
    physics::ProfileShape shape;
    if (options.has("caglioti")) {
        const std::vector<double> v = numbers(options, "caglioti", ',', 3);
        shape.u = v[0];
        shape.v = v[1];
        shape.w = v[2];
    }
    shape.eta = number(options, "eta", shape.eta);
    return shape;
}

PowderJob powderJobFrom(const Options& options, bool profile) {
    const physics::TwoThetaGrid grid = gridFrom(options);
    return powderJobFor(options, grid.start, grid.stop, profile);
}

PowderJob powderJobFor(const Options& options, double low, double high, bool profile,
                       bool unstrained) {
    physics::PowderRequest request;
    request.grid = gridFrom(options);
    request.shape = shapeFrom(options);
    const std::string shapeProblem = physics::shapeProblem(request.shape, request.grid);
    if (!shapeProblem.empty()) throw UsageError(shapeProblem);
    request.monochromator = number(options, "monochromator", request.monochromator);
    if (request.monochromator < 0.0 || request.monochromator >= 180.0)
        throw UsageError("--monochromator takes the monochromator's 2-theta, 0..180 degrees");
    request.zero = number(options, "zero", request.zero);
    request.profile = profile;
    // The theta window follows [low, high] (the grid, or a measured pattern's span).
    request.span = {low, high};
    request.keepThetaMin = options.has("thmin");
    request.keepThetaMax = options.has("thmax");

    RunInputs inputs = runInputsFrom(options);
    physics::Calculation calculation =
        calculationFor(inputs, modelFrom(options, inputs.system), maxRowsFrom(options));
    if (unstrained) calculation = physics::withoutStrain(std::move(calculation));
    TerminalProgress progress(physics::preparePowder(calculation, request).totalLoops);
    PowderJob job = physics::powder(calculation, request, {nullptr, progress.callback()});
    progress.clear();
    if (!job.ok()) {
        if (job.usageMistake) throw UsageError(job.message);
        throw std::runtime_error(job.message);
    }
    if (job.run.table.size() == 0) {
        // Why, in the terms of the texts the run was read from.
        inputs.loopLimits.fill("1");
        if (!request.keepThetaMin)
            inputs.thetaMin = printedNumber("%.6g", job.run.parameters.thetaMin);
        if (!request.keepThetaMax)
            inputs.thetaMax = printedNumber("%.6g", job.run.parameters.thetaMax);
        noteEmptyRun(inputs);
    }
    return job;
}

std::string powderXyText(const PowderJob& job) {
    std::string text;
    text.reserve(job.profile.size() * 20);
    char line[64];
    for (std::size_t i = 0; i < job.profile.size(); ++i) {
        std::snprintf(line, sizeof line, "%.4f %.4f\n", job.request.grid.at(i), job.profile[i]);
        text += line;
    }
    return text;
}

double strongestWeight(const std::vector<physics::PowderLine>& lines) {
    double top = 0.0;
    for (const physics::PowderLine& l : lines) top = std::max(top, l.weight);
    return top;
}

std::string powderCsvText(const PowderJob& job) {
    const bool icosahedral = job.run.indexDimension == 6;
    const bool cell = job.run.parameters.approximant.has_value();
    std::string text = "two_theta,d,h_perp,multiplicity,intensity,indices";
    text += icosahedral ? ",n_m,a6d" : "";
    text += cell ? ",hkl\n" : "\n";
    const double top = strongestWeight(job.lines);
    const double a6D = icosahedral ? physics::sixDimensionalConstant(job.run.basis) : 0.0;
    char line[160];
    for (const physics::PowderLine& l : job.lines) {
        std::snprintf(line, sizeof line, "%.5f,%.5f,%.6f,%d,%.4f,", l.twoTheta, l.d, l.hPerp,
                      l.multiplicity, top > 0.0 ? 100.0 * l.weight / top : 0.0);
        text += line;
        text += physics::indexText(l);
        if (icosahedral) {
            text += ',' + (l.label ? physics::labelText(*l.label) : std::string());
            std::snprintf(line, sizeof line, ",%.5f", a6D);
            text += line;
        }
        if (cell) text += ',' + (l.hkl ? physics::hklText(*l.hkl) : std::string());
        text += '\n';
    }
    return text;
}

void notePowderRun(const PowderJob& job) {
    printNote(std::to_string(job.run.table.size()) + " reflections in " +
              std::to_string(job.lines.size()) + " lines");
}

bool powderDrawsPicture(const std::vector<std::string>& args) {
    return namesPicture(Options(args, powderOptions()).value("output"));
}

int powderTextCommand(const std::vector<std::string>& args) {
    const Options options(args, powderOptions());
    const std::string ext = extensionOf(options.value("output", "-"));
    const bool csv = ext == "csv";
    if (options.has("output") && options.value("output") != "-" && ext != "xy" && !csv)
        throw UsageError("--output must name a .xy, .csv, .png, .bmp, .svg, .wmf or .pdf file");
    refusePictureOptions(options, {"measured", "size", "compare-quasicrystal"});
    const PowderJob job = powderJobFrom(options, !csv);
    writeOutput(options, csv ? powderCsvText(job) : powderXyText(job));
    return 0;
}

std::string powderHelp() {
    // The defaults are those of the structures the options fill.
    const physics::TwoThetaGrid grid;
    const physics::ProfileShape shape;
    const physics::PowderRequest request;
    return std::string(
               "tesral-cli powder [options]\n"
               "Runs with whole orbits and writes the calculated powder pattern: .xy (2-theta and\n"
               "intensity, highest point 100), .csv (the lines table) or a picture (.png, .bmp,\n"
               ".svg, .wmf, .pdf). The loop limits are widened to hold every reflection of the\n"
               "theta and qi windows; the theta window follows the 2-theta range unless "
               "given.\n\n") +
           runOptionsHelp() + modelOptionsHelp() +
           R"(  (without a model: one Al site with the tiling's window, X-rays; with neutrons
   the pattern is worked out at the neutron wavelength; electrons give none)
Powder options:
  --two-theta A:B:S      the 2-theta grid, degrees          (default )" +
           shown(grid.start) + ':' + shown(grid.stop) + ':' + shown(grid.step) + R"()
  --caglioti U,V,W       widths H^2 = U tan^2 t + V tan t + W, degrees^2
                                                            (default )" +
           shown(shape.u) + ',' + shown(shape.v) + ',' + shown(shape.w) + R"()
  --eta E                Lorentzian fraction of the pseudo-Voigt, 0..1 (default )" +
           shown(shape.eta) + R"()
  --monochromator 2TM    X-rays: the monochromator's 2-theta, degrees (default )" +
           (request.monochromator == 0.0 ? std::string("none") : shown(request.monochromator)) +
           R"()
  --zero Z               move every line by a 2-theta zero shift, degrees (default )" +
           shown(request.zero) + R"()
  --output FILE          .xy, .csv or a picture; .xy on standard output without it
  --size WxH             picture size in pixels             (default )" +
           sizeText(kPowderPictureSize) + R"()
  --labels N             label the N strongest lines in a picture (default )" +
           std::to_string(kPowderLabels) + R"()
  --measured FILE        draw a measured pattern under the calculated one (pictures)
  --peaks                read --measured as a peak list
  --difference           draw the difference curve too (pictures)
  --compare-quasicrystal with --approximant: draw the unstrained quasicrystal's pattern
                         over the approximant's, each with its highest point 100 (pictures)
)";
}

}  // namespace tesral::cli
