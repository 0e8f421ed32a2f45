#pragma once

// The atoms of a calculation's model within a radius, as the structure command and the Python
// module make them: a patch expected to be too large is refused before it is made.

#include <vector>

#include "physics/calculation.h"
#include "physics/real_space_structure.h"

namespace tesral::physics {

/** Patches expected to hold more atoms are refused: about 50 bytes of extended XYZ each. */
constexpr double kMostPatchAtoms = 5e7;

/**
 * The patch of `request` for the calculation's model (which must be set), on its lattice and
 * centring. Unusable lattice constants, a model that cannot be seen and a patch expected to
 * hold more than kMostPatchAtoms atoms throw std::runtime_error with why.
 */
std::vector<StructureAtom> calculationPatch(const Calculation& calculation,
                                            const PatchRequest& request);

}  // namespace tesral::physics
