#include "cli/model_options.h"
#include "cli/option_values.h"
#include "cli/output.h"
#include "cli/refine_commands.h"
#include "cli/refine_job.h"
#include "cli/run_options.h"

namespace tesral::cli {

bool refineDrawsPicture(const std::vector<std::string>& args) {
    const Options options(args, refineOptions());
    if (!options.has("plot")) return false;
    if (!namesPicture(options.value("plot")))
        throw UsageError("--plot must name a .png, .bmp, .svg, .wmf or .pdf file");
    return true;
}

int refineCommand(const std::vector<std::string>& args) {
    const Options options(args, refineOptions());
    refusePictureOptions(options, {"size"});
    const RefineJob job = refineJobFrom(options);
    writeRefineOutputs(options, job);
    return 0;
}

std::string refineHelp() {
    const physics::RefineOptions o;
    return std::string(
               "tesral-cli refine --model START.toml --measured FILE --vary LIST --output "
               "REFINED.toml [options]\n"
               "Refines a structure model, the lattice constants and the powder profile against\n"
               "a measured whole pattern (2-theta, y and an optional sigma column), a peak list\n"
               "with intensities (--peaks: 2-theta, I and an optional sigma; the lines within\n"
               "the tolerance of a peak are summed) or a single crystal's integrated\n"
               "intensities (five or six integer indices, I and sigma per line; each matched to\n"
               "the run's reflection of the same indices). Levenberg-Marquardt; the table of\n"
               "start, refined value and su and the figures of merit go to standard output.\n"
               "A refinement that cannot start (no observation matched, fewer observations than\n"
               "parameters, a name the model lacks) ends with status 1 and one line.\n\n") +
           runOptionsHelp() + modelOptionsHelp() +
           R"(Refine options:
  --measured FILE        the observations (at most 100 MB)
  --peaks                read FILE as a peak list with intensities
  --vary LIST            comma list: scale, zero, a, c, background, u, v, w, eta and
                         the site fields occupancy, radius, inner_radius, inner_scale,
                         window_scale, b_par, b_perp (bare: one value every site that
                         has it shares; LABEL.radius: that site's own); phason (the
                         isotropic strain) and phason.IJ (one element of M, I its
                         perpendicular row, J its parallel column, 1-based): whole
                         patterns only, written to the refined model's [phason] table
  --two-theta A:B:S      fit only 2-theta A..B (degrees; S is not used)
  --caglioti U,V,W       start widths H^2 = U tan^2 t + V tan t + W (default )" +
           shown(o.shape.u) + ',' + shown(o.shape.v) + ',' + shown(o.shape.w) + R"()
  --eta E                start Lorentzian fraction, 0..1          (default )" +
           shown(o.shape.eta) + R"()
  --zero Z               start 2-theta zero shift, degrees        (default )" +
           shown(o.zero) + R"()
  --background N         Chebyshev terms of the background       (default )" +
           std::to_string(o.backgroundTerms) + R"()
  --monochromator 2TM    X-rays: the monochromator's 2-theta, degrees (default none)
  --tolerance D          peak lists: lines within D degrees make a peak (default )" +
           shown(o.tolerance) + R"()
  --max-iterations N     at most N iterations                     (default )" +
           std::to_string(o.maxIterations) + R"()
  --output FILE          the refined model (TOML; a, c and zero in its head comment)
  --json FILE            the fit: figures of merit, parameters with su, correlations
                         above 0.9 and, for lists, one entry per observation
  --plot FILE            the measured, calculated and difference curves (.png, .bmp,
                         .svg, .wmf or .pdf; whole patterns)
  --size WxH             the picture's size in pixels             (default 1000x600)
)";
}

}  // namespace tesral::cli
