#pragma once

// The cell of a run's approximant with the group's centring counted: a centred
// higher-dimensional lattice has fewer reflections, and their cell indices may all share a
// factor, in which case the periodic cell is that much smaller.

#include <optional>

#include "engine/groups.h"
#include "engine/run_parameters.h"
#include "lattice/approximant.h"

namespace tesral {

/**
 * approximantCell of the primitive basis, each axis divided by the common factor of the
 * cell indices of the centring's reflections (F: indices of one parity; I: an even sum). An
 * F-centred icosahedral lattice of a6D = 12.64 A gives the 12.30 A cubic 1/1 cell, not 24.60.
 */
ApproximantCell centredApproximantCell(const LatticeBasis& basis, const Approximant& approximant,
                                       Centring centring);

/** The cell of the run's approximant and group; nothing without one or a usable lattice. */
std::optional<ApproximantCell> runApproximantCell(const RunParameters& run);

}  // namespace tesral
