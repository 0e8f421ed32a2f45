#pragma once

#include "physics/structure_model.h"

namespace tesral::physics {

/** The normalised transform of a sphere, 3 (sin x - x cos x) / x^3, with x = 2 pi |H-perp| R. */
double sphereTransform(double x);

/** The normalised transform of a disc, 2 J1(x) / x, with x = 2 pi |H-perp| R. */
double discTransform(double x);

/**
 * The normalised transform of a sphere or disc domain at |H-perp| (1/angstrom); of a shell
 * (innerRadius > 0) the difference V(R) g(R) - V(R_in) g(R_in) over V(R) - V(R_in).
 */
double roundDomainTransform(const OccupationDomain& domain, double perpendicularLength);

/** Volume of a sphere domain (cubic angstrom) or area of a disc (square angstrom), less the
 *  inner one's of a shell. */
double roundDomainMeasure(const OccupationDomain& domain);

}  // namespace tesral::physics
