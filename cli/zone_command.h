#pragma once

// tesral-cli zone: the section perpendicular to a zone axis, as rows or as a picture.

#include <string>
#include <vector>

#include "cli/option_values.h"
#include "cli/options.h"
#include "engine/zone_section.h"

namespace tesral::cli {

/** The options of the zone command, the picture options included. */
KnownOptions zoneOptions();

/** A computed section with what its picture needs. */
struct ZoneRun {
    ZoneSection section;
    /** The axis as given ("fivefold" or "1,0,0,0,0,0") and as indices. */
    std::string axisText;
    AxisIndices axis{};
    double cameraLength = 0.0;  // mm; 0 without --camera-length
    bool intensities = false;
};

/** Reads the options, runs the section and applies the model; mistakes throw. */
ZoneRun zoneRunFrom(const Options& options);

/** Whether --output names a picture (.png, .bmp, .svg, .wmf, .pdf); --output is needed. */
bool zoneDrawsPicture(const std::vector<std::string>& args);

/** Writes the rows (.hkl report, else the tab-separated list) with the plane coordinates. */
int writeZoneRows(const Options& options, const ZoneRun& run);

/** The rows of a section. */
int zoneCommand(const std::vector<std::string>& args);

/** The section's picture (the picture program's; tesral-cli hands it over). */
int zonePictureCommand(const std::vector<std::string>& args);

/** The picture's size and its labelled spots without --size and --labels. */
inline constexpr PixelSize kZonePictureSize{800, 800};
inline constexpr int kZoneLabels = 8;

std::string zoneHelp();

}  // namespace tesral::cli
