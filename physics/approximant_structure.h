#pragma once

// One cell of a rational approximant as atoms: the strained structure's atoms that fall in
// the cell, wrapped into it so that each atom of the periodic structure appears once.

#include <array>
#include <vector>

#include "engine/approximant_cell.h"
#include "lattice/approximant.h"
#include "physics/real_space_structure.h"

namespace tesral::physics {

/** One atom of a cell. */
struct CellAtom {
    /** Fractions of the cell's vectors a, b, c, each in [0, 1). */
    std::array<double, 3> fraction{};
    /** Index into the model's sites. */
    int site = 0;
};

/**
 * The atoms of one cell of the approximant's structure (the strain of `approximant` applied
 * to `basis`, which is the unstrained lattice), at the phason shift given: the ball about the
 * cell's centre that holds the cell is made as a patch, and its atoms whose fractions lie in
 * [0, 1) are kept (a point within 1e-9 of a face is taken on the face at 0). Sorted by site
 * and then by fractions z, y, x. Throws std::invalid_argument as structurePatch does.
 */
std::vector<CellAtom> approximantCellAtoms(const StructureModel& model, QuasicrystalSystem system,
                                           const LatticeBasis& basis, Centring centring,
                                           const Approximant& approximant,
                                           const std::array<double, 3>& phasonShift,
                                           unsigned workers = workerCount());

/** An atom's position in angstrom, in the parallel frame (x, y, z of the patches). */
std::array<double, 3> cellPosition(const ApproximantCell& cell, const CellAtom& atom);

}  // namespace tesral::physics
