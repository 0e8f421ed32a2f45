#pragma once

#include <array>
#include <vector>

#include "engine/groups.h"
#include "lattice/lattice_basis.h"
#include "physics/structure_model.h"

namespace tesral::physics {

/** Lattice points per cell of the basis: 1 primitive, 2 body-centred, 2^(n-1) face-centred. */
int latticePointsPerCell(Centring centring, int dimension);

/**
 * The lattice points of one cell of the basis, fractions: the origin, then (1/2, ..., 1/2) for
 * body centring or the points of {0, 1/2}^n with an even number of halves for face centring.
 * As many as latticePointsPerCell; the components past `dimension` are 0.
 */
std::vector<std::array<double, 6>> centringTranslations(Centring centring, int dimension);

/**
 * The atoms per cubic angstrom of a model in physical space: the sum of p V over its sites
 * (V the domain's volume, or area in the axial systems, shells less their core) over the
 * volume of the lattice's primitive cell, |det direct| / latticePointsPerCell. The sites are
 * those of one cell less the centring: the model file lists them so. Window sites are built
 * for `basis` (throws what exactWindow throws).
 */
double pointDensity(const StructureModel& model, QuasicrystalSystem system,
                    const LatticeBasis& basis, Centring centring = Centring::Primitive);

}  // namespace tesral::physics
