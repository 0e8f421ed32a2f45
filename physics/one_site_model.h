#pragma once

#include <string>

#include "lattice/lattice_basis.h"
#include "physics/structure_model.h"

namespace tesral::physics {

/**
 * The one-site model of the command line: `element` at the origin of a `system` cell with the
 * domain "sphere:R" or "disc:R" (R in angstrom), "window" or "window:scale", seen with
 * "xray", "electron:kV" or "neutron:wavelength" ("electron" alone is 200 kV, "neutron" alone
 * 1.8 angstrom), and the Debye-Waller parameters B-par and B-perp (square angstrom).
 * Throws std::invalid_argument with a message naming the value that cannot be used.
 */
StructureModel oneSiteModel(QuasicrystalSystem system, const std::string& domain,
                            const std::string& element = "Al",
                            const std::string& radiation = "xray", double bParallel = 0.0,
                            double bPerpendicular = 0.0);

}  // namespace tesral::physics
