#pragma once

// The atoms of a calculation's model within a radius or in one approximant cell, as the
// structure command and the Python module make them: a structure expected to be too large is
// refused before it is made.

#include <vector>

#include "physics/approximant_structure.h"
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

/**
 * One cell of the calculation's approximant (which must be set, as the model) at the phason
 * shift, as approximantCellAtoms makes it; fails as calculationPatch does.
 */
std::vector<CellAtom> calculationCell(const Calculation& calculation,
                                      const std::array<double, 3>& phasonShift,
                                      unsigned workers = workerCount());

}  // namespace tesral::physics
