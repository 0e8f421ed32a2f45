#pragma once

// tesral-cli zone --measured IMAGE --fit: a photograph's spots found and fitted to the
// section, written as JSON (and as an intensity list); the overlay is the picture program's.

#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"
#include "physics/diffraction_image.h"
#include "physics/pattern_fit.h"
#include "physics/spot_finder.h"

namespace tesral::cli {

/** The options the fit adds to the zone command. */
std::vector<std::string> zoneFitValuedOptions();
std::vector<std::string> zoneFitFlags();

/** Whether the zone command is asked to fit a measured pattern (--fit or --measured). */
bool zoneFits(const Options& options);

struct ZoneFitRun {
    physics::DiffractionImage image;
    std::vector<physics::MeasuredSpot> spots;
    physics::PatternFit fit;
    /** mm per pixel, given or from --camera-length; none: no camera constant. */
    std::optional<double> pixelSize;
};

/**
 * Reads the image, finds its spots and fits them to the section of --axis (or every preset
 * with "auto"), then writes --json and --intensities. Mistakes throw.
 */
ZoneFitRun zoneFitFrom(const Options& options);

/** The fit without a picture: --output, when given, must name a picture. */
int zoneFitCommand(const Options& options);

std::string zoneFitHelp();

}  // namespace tesral::cli
