#pragma once

// Where a pattern fit starts: the direct beam from spots opposite each other, the scale and
// the rotation from the spots' radii and angles against the section's.

#include <vector>

#include "physics/pattern_fit.h"
#include "physics/pattern_geometry.h"

namespace tesral::physics {

/** The box of the measured spots, pixels. */
struct SpotExtent {
    double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
    bool holds(double x, double y) const {
        return x >= minX && x <= maxX && y >= minY && y <= maxY;
    }
};
SpotExtent spotExtent(const std::vector<MeasuredSpot>& spots);

/** The match radius (pixels) the spots' spacing allows: a fifth of the typical spacing. */
double matchRadiusFor(const std::vector<MeasuredSpot>& spots);

/**
 * The direct beam: the point most pairs of similar spots lie symmetric about (diffraction
 * patterns are centrosymmetric), or the spots' weighted mean when too few pairs agree.
 */
std::array<double, 2> centreSeed(const std::vector<MeasuredSpot>& spots);

/**
 * Placements to refine, most promising first: for the centre seed, the scales and rotations
 * on which most pairs of a strong measured spot and a strong section point agree.
 */
std::vector<PatternCalibration> seedCalibrations(const std::vector<MeasuredSpot>& spots,
                                                 const std::vector<SectionPoint>& points);

}  // namespace tesral::physics
