#pragma once

// The part of the index box that can hold accepted reflections.

#include <array>
#include <cmath>

#include "engine/box_count.h"
#include "engine/geometry.h"

namespace tesral {

/**
 * Descending integer ranges for the indices of a run, h1 outermost. An ellipsoid region is
 * sum over k of scale[k] (h_k + sum over j < k of coupling[k][j] h_j)^2 <= radius2, widened
 * so that every vector the run can accept lies inside it, cut by the loop limits.
 */
struct IndexRegion {
    enum class Kind {
        Empty,      // no vector of the box can be accepted
        Box,        // no usable bound: every vector of the box is a candidate
        Ellipsoid,  // candidates lie in the ellipsoid
    };
    Kind kind = Kind::Box;
    /** True when no vector of the box can make qe or qi overflow. */
    bool finite = false;
    int n = 5;
    std::array<int, 6> limits{};
    double coupling[6][6] = {};
    double scale[6] = {};
    double radius2 = 0.0;
    /** Bounds on the rounding error of the centre (index units) and of the partial sums. */
    double centreSlack[6] = {};
    double energySlack[6] = {};
};

/**
 * The region of a run. Falls back to the box when a vector of the box might give a value
 * that is not finite, so such a failure is found exactly as the literal walk finds it.
 */
IndexRegion boundIndexRegion(const GeometryContext& g, const std::array<int, 6>& limits);

/**
 * At least the number of vectors the walk of `region` visits, cheaply: the outer levels are
 * walked while that stays cheap, each inner level counted by its widest range.
 */
BoxCount candidateBound(const IndexRegion& region);

/**
 * A band of squared projected lengths (1/angstrom^2, perpendicular without the factor a)
 * well inside both windows: a vector in it passes, whatever the rounding of its theta and
 * qi. Vectors outside it need the full evaluation.
 */
struct SurePass {
    bool usable = false;
    double parallelLow2 = 0.0;
    double parallelHigh2 = 0.0;
    double perpendicularHigh2 = 0.0;

    bool contains(const double q[6], int n) const {
        const double p2 = n == 5 ? q[0] * q[0] + q[1] * q[1] + q[4] * q[4]
                                 : q[0] * q[0] + q[1] * q[1] + q[2] * q[2];
        const double i2 =
            n == 5 ? q[2] * q[2] + q[3] * q[3] : q[3] * q[3] + q[4] * q[4] + q[5] * q[5];
        return p2 > parallelLow2 && p2 < parallelHigh2 && i2 < perpendicularHigh2;
    }
};

/** The band for the run's windows; not usable where values might not be finite. */
SurePass surePassBand(const GeometryContext& g, const IndexRegion& region);

/** Where the walk stands at one level: outer indices fixed, their partial sums known. */
struct LevelRange {
    int hi = 0;  // first value visited
    int lo = 1;  // last value visited; empty when lo > hi
    double centre = 0.0;
};

/**
 * The range of index k given the outer indices h[0..k-1] and their partial sum `energy`
 * (sum over i < k of scale[i] (h_i + centre_i)^2).
 */
inline LevelRange levelRange(const IndexRegion& r, int k, const int h[6], double energy) {
    LevelRange out;
    const int limit = r.limits[k];
    if (r.kind == IndexRegion::Kind::Box) {
        out.hi = limit;
        out.lo = -limit;
        return out;
    }
    double c = 0.0;
    for (int j = 0; j < k; ++j) c = c + r.coupling[k][j] * h[j];
    out.centre = c;
    const double rest = r.radius2 - energy + r.energySlack[k];
    if (!(rest >= 0.0)) return out;
    const double half = std::sqrt(rest / r.scale[k]) + r.centreSlack[k];
    const double top = std::floor(half - c);
    const double bottom = std::ceil(-half - c);
    const double lim = static_cast<double>(limit);
    out.hi = top >= lim ? limit : (top < -lim ? -limit - 1 : static_cast<int>(top));
    out.lo = bottom <= -lim ? -limit : (bottom > lim ? limit + 1 : static_cast<int>(bottom));
    return out;
}

/** The partial sum after fixing index k to `value`. */
inline double nextEnergy(const IndexRegion& r, int k, const LevelRange& range, int value,
                         double energy) {
    if (r.kind == IndexRegion::Kind::Box) return 0.0;
    const double t = value + range.centre;
    return energy + r.scale[k] * t * t;
}

}  // namespace tesral
