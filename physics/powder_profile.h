#pragma once

// The calculated powder pattern: each line spread by a pseudo-Voigt profile on a 2-theta grid.

#include <string>
#include <vector>

#include "physics/powder_lines.h"

namespace tesral::physics {

/** A 2-theta grid, degrees. */
struct TwoThetaGrid {
    double start = 10.0;
    double stop = 120.0;
    double step = 0.01;

    /** Points from start to stop inclusive (stop rounded to the nearest step). */
    std::size_t size() const;
    double at(std::size_t i) const { return start + step * static_cast<double>(i); }
};

/** The most points a 2-theta grid may hold. */
constexpr double kLargestGridPoints = 1e7;

/**
 * Why the grid cannot be used (a step that is not positive, stop below start, more than
 * kLargestGridPoints points...); empty if it can.
 */
std::string gridProblem(const TwoThetaGrid& grid);

/** Caglioti width and the pseudo-Voigt mixing. */
struct ProfileShape {
    double u = 0.0;  // degrees^2
    double v = 0.0;
    double w = 0.01;
    double eta = 0.5;  // Lorentzian fraction, 0..1
};

/** Why the shape cannot be used (eta outside 0..1, a width that is not positive in the grid). */
std::string shapeProblem(const ProfileShape& shape, const TwoThetaGrid& grid);

/** The full width at half maximum (degrees) at the diffraction angle `twoTheta`; NaN if H^2 <= 0.
 */
double cagliotiWidth(const ProfileShape& shape, double twoTheta);

/** The pseudo-Voigt of area 1 and width h at distance x (degrees). */
double pseudoVoigt(double x, double h, double eta);

/** How far (in widths) the Lorentzian part of a line is carried; the Gaussian stops sooner. */
constexpr double kLorentzReach = 40.0;
constexpr double kGaussReach = 3.0;

/**
 * The pattern y(2-theta) = sum of weight * PV over the lines, scaled so its highest point is 100
 * (all 0 when no line reaches the grid). Each line is evaluated only near its centre, so the cost
 * grows with the lines and their widths, not with the grid.
 */
std::vector<double> powderProfile(const std::vector<PowderLine>& lines, const TwoThetaGrid& grid,
                                  const ProfileShape& shape);

}  // namespace tesral::physics
