#pragma once

// tesral-cli structure: the options its text (XYZ, CIF) and picture forms share.

#include <array>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/run_options.h"

namespace tesral::cli {

KnownOptions structureOptions();

/** --phason-shift's numbers (two axial, three icosahedral); zeros without it. */
std::array<double, 3> phasonShiftFrom(const Options& options, QuasicrystalSystem system);

/** Whether the arguments ask for a picture of a slab (--output names one). */
bool structureDrawsPicture(const std::vector<std::string>& args);

/** The picture of a slab: tesral-cli hands it to the picture program, which draws it. */
int structurePictureCommand(const std::vector<std::string>& args);

}  // namespace tesral::cli
