#pragma once

// An approximant's calculation and the quasicrystal it approximates: the same inputs and
// model, strained into the periodic cell or without any strain.

#include <optional>
#include <vector>

#include "lattice/approximant.h"
#include "physics/calculation.h"

namespace tesral::physics {

/**
 * `calculation` strained into `approximant` (of the calculation's system): its strain
 * replaces the run's and the model's. Nothing when the lattice constants make no basis.
 */
std::optional<Calculation> withApproximant(Calculation calculation, const Approximant& approximant);

/** `calculation` without any phason strain: neither the run's, the approximant's nor the model's.
 */
Calculation withoutStrain(Calculation calculation);

/** An approximant's powder pattern and the quasicrystal's profile on the same grid. */
struct ComparedPowder {
    PowderResult pattern;
    /** The unstrained calculation's profile, highest point 100; empty unless asked for. */
    std::vector<double> quasicrystal;
};

/**
 * The pattern of `calculation` and, with `compare`, that of withoutStrain(calculation): the
 * watch's progress runs once over both. A second pattern that fails (or is stopped) leaves
 * its message on `pattern`.
 */
ComparedPowder comparedPowder(const Calculation& calculation, const PowderRequest& request,
                              bool compare, const Watch& watch = {});

}  // namespace tesral::physics
