#pragma once

#include "engine/run_parameters.h"
#include "lattice/lattice_basis.h"

namespace tesral {

/** What one index vector projects to; only qe and qi are set when qe is 0. */
struct Evaluation {
    double qe = 0.0;     // parallel length, 1/angstrom
    double qi = 0.0;     // perpendicular length, 1/angstrom
    double d = 0.0;      // angstrom
    double theta = 0.0;  // Bragg angle, degrees
    double x = 0.0, y = 0.0, z = 0.0;
    bool accepted = false;
    bool finite = true;  // false when qe or qi is not a finite number
};

/** The Bragg angle of a sine, radians: the single-precision pi/2 (3 pi/2) beyond +1 (-1). */
double arcSine(double s);

constexpr double kDegreeDivisor = 0.01745329252;

/** The run's constants, taken once per run. */
struct GeometryContext {
    int n = 5;
    double inverse[6][6] = {};
    double a = 0.0;
    bool yamamoto = true;
    double wavelength = 0.0;
    double thetaMin = 0.0;
    double thetaMax = 0.0;
    double qiMax = 0.0;

    GeometryContext(const LatticeBasis& basis, const RunParameters& p);
};

/** Projects q = Inverse h (summed in index order) and derives the rest. */
Evaluation evaluateProjection(const double q[6], const GeometryContext& g);

/** Projects the index vector h (h[0..n-1]) and applies the theta and qi filters. */
Evaluation evaluateIndexVector(const int h[6], const GeometryContext& g);

}  // namespace tesral
