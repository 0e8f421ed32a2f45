#pragma once

#include <string>
#include <vector>

#include "physics/lattice_refinement.h"

namespace tesral::physics {

/**
 * The refinement as a table: observed and calculated 2-theta, their difference, d, the
 * indices and (icosahedral) the (N/M) label of each matched peak, then the refined constants
 * with their standard uncertainties and the mean |delta 2-theta|. `a6DPerA` turns a into the
 * six-dimensional constant (icosahedral); 0 for the axial systems.
 */
std::string refinementText(const std::vector<PowderLine>& lines, const Refinement& r,
                           double a6DPerA);

}  // namespace tesral::physics
