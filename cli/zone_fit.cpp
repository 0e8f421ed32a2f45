#include "cli/zone_fit.h"

#include <stdexcept>

#include "cli/model_options.h"
#include "cli/option_values.h"
#include "cli/output.h"
#include "cli/run_options.h"
#include "engine/zone_axis.h"
#include "physics/pattern_fit_text.h"
#include "plots/plot_options.h"

namespace tesral::cli {

std::vector<std::string> zoneFitValuedOptions() {
    return {"measured", "pixel-size", "json", "intensities"};
}

std::vector<std::string> zoneFitFlags() {
    return {"fit", "ellipticity"};
}

bool zoneFits(const Options& options) {
    return options.has("fit") || options.has("measured");
}

ZoneFitRun zoneFitFrom(const Options& options) {
    if (!options.has("fit")) throw UsageError("--measured needs --fit");
    if (!options.has("measured")) throw UsageError("--fit needs --measured IMAGE");
    if (!options.has("json")) throw UsageError("--fit needs --json FILE");
    if (!options.has("axis"))
        throw UsageError("--axis is needed: indices n1,n2,..., a named axis or auto");
    for (const std::string name : {"slab", "x-axis"})
        if (options.has(name)) throw UsageError("--" + name + " does not go with --fit");
    const RunInputs inputs = runInputsFrom(options);
    const std::string axisText = options.value("axis");
    if (axisText != physics::kAutoAxis) {
        AxisIndices axis{};
        const std::string problem = parseZoneAxis(axisText, inputs.system, axis);
        if (!problem.empty()) throw UsageError(problem);
    }
    physics::PatternFitOptions fitOptions;
    fitOptions.ellipticity = options.has("ellipticity");
    fitOptions.threshold = thresholdFrom(options, PlotOptions{}.intensityThreshold);
    const double pixelSize = value<double>(options, "pixel-size", 0.0, {.low = 0, .aboveLow = true},
                                           "takes a pixel's size in mm, above 0");
    const double cameraLength =
        value<double>(options, "camera-length", 0.0, {.low = 0}, "takes a length in mm, 0 or more");
    for (const std::string name : {"json", "intensities"})
        if (options.has(name)) {
            if (sameFile(options.value(name), options.value("measured")))
                throw UsageError("--" + name + " " + quotedPath(options.value(name)) +
                                 " is the measured image; write to another file");
        }
    refuseOutputOnto(options, options.value("measured"), "measured image");

    ZoneFitRun run;
    const physics::Calculation calculation =
        calculationFor(inputs, modelFrom(options, inputs.system), std::nullopt);
    run.image = physics::readDiffractionImage(options.value("measured"));
    run.spots = physics::findSpots(run.image);
    run.fit = physics::fitMeasuredPattern(calculation, axisText, run.spots, fitOptions);
    if (!run.fit.ok())
        throw std::runtime_error(quotedPath(options.value("measured")) + ": " + run.fit.message);
    if (pixelSize > 0.0) {
        run.pixelSize = pixelSize;
    } else if (cameraLength > 0.0 && run.fit.calibration.scale > 0.0) {
        // R d = lambda L: the pixel's size follows from a known camera length.
        run.pixelSize = calculation.wavelength() * cameraLength / run.fit.calibration.scale;
    }
    const std::string json = physics::patternFitJson(run.fit, run.spots, run.pixelSize);
    writeOutputTo(options.value("json"), [&](SafeFile& f) { return f.write(json); });
    if (options.has("intensities")) {
        const std::string list =
            physics::matchedIntensityList(run.fit, run.spots, options.value("measured"));
        writeOutputTo(options.value("intensities"), [&](SafeFile& f) { return f.write(list); });
    }
    return run;
}

int zoneFitCommand(const Options& options) {
    refusePictureOptions(options, {"size", "labels", "background"});
    if (options.has("output"))
        throw UsageError("--output with --fit takes the overlay picture (.png, .svg, .pdf, ...)");
    zoneFitFrom(options);
    return 0;
}

std::string zoneFitHelp() {
    return "Measured patterns (zone ... --measured IMAGE --fit --json FIT.json):\n"
           "  --measured IMAGE       a photograph: PNG (8, 16 bit), TIFF (8, 16, 32 bit)\n"
           "                         or binary PGM; its spots are found and fitted\n"
           "  --fit                  fit centre, rotation and scale to the section of\n"
           "                         --axis; --axis auto tries every named axis\n"
           "  --ellipticity          fit an elliptical distortion too\n"
           "  --pixel-size MM        the detector's pixel: the camera constant lambda L\n"
           "                         (A mm); or --camera-length L for the pixel's size\n"
           "  --json FILE            the fit: centre, rotation, scale, matched spots\n"
           "  --intensities FILE     the matched spots' indices, I and sigma (kinematic)\n"
           "  --output FILE          the overlay: the image with the section's spots\n"
           "  --threshold P          section spots weaker than P % take no part\n\n";
}

}  // namespace tesral::cli
