#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "cli/model_options.h"
#include "cli/option_values.h"
#include "cli/output.h"
#include "cli/powder_commands.h"
#include "cli/powder_job.h"
#include "cli/run_options.h"
#include "physics/lattice_refinement.h"
#include "physics/measured_pattern.h"
#include "physics/refinement_text.h"

namespace tesral::cli {
namespace {

/** A peak stands this many percent of the pattern's range above its surroundings. */
constexpr double kPeakThreshold = 2.0;

KnownOptions indexOptions() {
    KnownOptions known;
    known.valued = runOptionNames();
    for (std::string& name : modelOptionNames()) known.valued.push_back(std::move(name));
    for (const char* name : {"measured", "tolerance", "weakest", "threshold", "output"})
        known.valued.emplace_back(name);
    known.flags = {"peaks", "no-zero"};
    return known;
}

double positiveFrom(const Options& options, const std::string& name, double fallback) {
    return value<double>(options, name, fallback, {.low = 0},
                         "takes a number of at least 0, not {}");
}

std::string header(const std::string& source, std::size_t peaks, std::size_t matched,
                   double tolerance) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", tolerance);
    return "measured: " + source + ", " + std::to_string(peaks) + " peaks, " +
           std::to_string(matched) + " matched within " + text + " degrees\n\n";
}

}  // namespace

int indexCommand(const std::vector<std::string>& args) {
    const Options options(args, indexOptions());
    if (!options.has("measured")) throw UsageError("--measured FILE is needed");
    const std::string path = options.value("measured");
    refuseOutputOnto(options, path, "measured file");
    const physics::MeasuredData data = physics::readMeasuredFile(path, options.has("peaks"));
    if (!data.note.empty()) printNote(data.note);
    const std::vector<physics::Peak> peaks =
        physics::findPeaks(data, positiveFrom(options, "threshold", kPeakThreshold) / 100.0);

    physics::RefinementSettings settings;
    settings.tolerance = positiveFrom(options, "tolerance", settings.tolerance);
    settings.weakestLine = positiveFrom(options, "weakest", settings.weakestLine);
    settings.refineZero = !options.has("no-zero");

    const PowderJob job = powderJobFor(options, data.twoTheta.front(), data.twoTheta.back(), false);
    const physics::Refinement r = physics::refineLattice(job.lines, peaks, job.lattice, settings);
    if (!r.ok()) throw std::runtime_error(r.message);
    // A fit on chance matches prints no constants that would look like a result.
    if (!r.usable()) throw std::runtime_error(r.warning);
    const double a6DPerA =
        job.run.indexDimension == 6
            ? physics::sixDimensionalConstant(job.run.basis) / job.run.parameters.a
            : 0.0;
    writeOutput(options, header(path, peaks.size(), r.matches.size(), settings.tolerance) +
                             physics::refinementText(job.lines, r, a6DPerA));
    return 0;
}

std::string indexHelp() {
    const physics::RefinementSettings settings;
    return std::string(
               "tesral-cli index --measured FILE [options]\n"
               "Finds the peaks of a measured powder pattern (or takes a peak list), matches\n"
               "each to the nearest calculated line and refines a (icosahedral) or a and c\n"
               "(axial) and a 2-theta zero shift by least squares, starting from the best\n"
               "match within 3 % of --a and --c. A fit on fewer than half the peaks, on\n"
               "fewer than two peaks more than parameters, or on chance matches is refused.\n"
               "The file: two columns (2-theta in degrees and intensity) separated by blanks,\n"
               "commas or semicolons, '#' or '!' comments, one optional header line; a file\n"
               "whose first data line holds one number is a peak list (2-theta and an\n"
               "optional intensity).\n\n") +
           runOptionsHelp() + modelOptionsHelp() +
           R"(Index options:
  --measured FILE        the measured pattern or peak list (at most 100 MB)
  --peaks                read FILE as a peak list even with two columns
  --threshold P          peaks must stand P % of the pattern's range above
                         their surroundings                       (default )" +
           shown(kPeakThreshold) + R"()
  --tolerance D          match within D degrees of 2-theta        (default )" +
           shown(settings.tolerance) + R"()
  --weakest P            match lines of at least P % of the strongest (default )" +
           shown(settings.weakestLine) + R"()
  --no-zero              refine no zero shift
  --output FILE          write the table to FILE instead of standard output
)";
}

}  // namespace tesral::cli
