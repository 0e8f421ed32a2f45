#pragma once

// The pieces of a pattern fit shared by its seed and its refinement: the section's rows that
// take part, the calibration as an affine map, and nearest-row matching.

#include <array>
#include <cstddef>
#include <vector>

#include "engine/zone_section.h"
#include "physics/pattern_fit.h"

namespace tesral::physics {

/** A section row that takes part: plane point (1/angstrom) and strength (100 the strongest). */
struct SectionPoint {
    double u = 0.0, v = 0.0;
    double strength = 0.0;
    std::size_t row = 0;
};

/**
 * The rows above the threshold (percent of the strongest intensity), the origin left out,
 * strongest first. Without intensities the strength is the zone view's size rule, 1/qi,
 * scaled so the strongest is 100, and every row takes part.
 */
std::vector<SectionPoint> sectionPoints(const ZoneSection& section, bool intensities,
                                        double threshold);

/** pixel = centre + m * (u, v): m row by row, image axes (y down). */
struct AffineMap {
    double cx = 0.0, cy = 0.0;
    std::array<double, 4> m{};
    std::array<double, 2> apply(double u, double v) const {
        return {cx + m[0] * u + m[1] * v, cy + m[2] * u + m[3] * v};
    }
};
AffineMap affineOf(const PatternCalibration& c);
/** The calibration of a map that keeps the handedness of the plane (det m < 0 on screen). */
PatternCalibration calibrationOf(const AffineMap& map, bool distorted);

/** Pairs of measured spot and section point closer than `radius`, one per point at most. */
struct PointMatch {
    std::size_t spot = 0;
    std::size_t point = 0;
    double distance = 0.0;
};
std::vector<PointMatch> matchPoints(const std::vector<MeasuredSpot>& spots,
                                    const std::vector<SectionPoint>& points, const AffineMap& map,
                                    double radius);

}  // namespace tesral::physics
