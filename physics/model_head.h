#pragma once

#include <string>

#include "physics/structure_model.h"

namespace tesral::physics {

/**
 * The model's line in a report head: its name, its number of sites, the radiation it is seen
 * with and the wavelength in use (radiationText); X-rays are seen at the run's wavelength
 * `xrayWavelength` (angstrom).
 */
std::string modelHeadLine(const StructureModel& model, double xrayWavelength);

}  // namespace tesral::physics
