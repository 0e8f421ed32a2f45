#include "index_region.h"

#include <algorithm>
#include <cmath>

namespace tesral {
namespace {

// Margins. Rounding in the projections is about 1e-16 relative; these leave ample room.
constexpr double kRelative = 1e-9;
constexpr double kProjectionError = 1e-14;  // of the largest projection over the box
constexpr double kUnderflow = 1e-150;       // lengths lost when squares underflow
constexpr double kFormInflation = 1e-4;     // rounding of the factorised form
constexpr double kRoundoff = 1e-12;         // of the partial sums, relative to their terms
constexpr double kThinnest = 1e-4;          // least ratio of the two radii, keeps it well posed
constexpr long double kFiniteLimit = 1e300L;

/** An upper bound on a length, or none, or no vector passes at all. */
struct LengthBound {
    bool nothing = false;
    bool unbounded = false;
    double value = 0.0;
};

LengthBound nothingPasses() {
    return {true, false, 0.0};
}
LengthBound noBound() {
    return {false, true, 0.0};
}
LengthBound atMost(double value) {
    if (!std::isfinite(value)) return noBound();
    return {false, false, value};
}

/** The largest qe a vector can have and still pass the theta window. */
LengthBound parallelBound(const GeometryContext& g) {
    if (!(g.thetaMin <= g.thetaMax)) return nothingPasses();
    const auto inWindow = [&g](double t) { return t > 0.0 && t >= g.thetaMin && t <= g.thetaMax; };
    // Beyond the limiting sphere theta is a constant.
    const double outside = arcSine(2.0) / kDegreeDivisor;
    const double outsideNegative = arcSine(-2.0) / kDegreeDivisor;
    const double wl = g.wavelength;
    if (wl == 0.0) return nothingPasses();  // theta is 0
    if (wl < 0.0) return inWindow(outsideNegative) ? noBound() : nothingPasses();
    if (inWindow(outside)) return noBound();
    if (std::isinf(wl) || !(g.thetaMax > 0.0)) return nothingPasses();
    // From here the sine s = wl qe / 2 stays below 1 and theta = asin(s).
    double sMax = 1.0;
    if (g.thetaMax < 89.0)
        sMax = std::min(1.0, std::sin(g.thetaMax * kDegreeDivisor) * (1.0 + kRelative) + 1e-12);
    return atMost(2.0 * sMax / wl * (1.0 + kRelative));
}

/** The largest perpendicular length |q_I| (no factor a) a vector can have and pass qiMax. */
LengthBound perpendicularBound(const GeometryContext& g, double qiScale) {
    if (!(g.qiMax >= 0.0)) return nothingPasses();
    if (std::isinf(g.qiMax)) return noBound();
    return atMost(g.qiMax / qiScale * (1.0 + kRelative));
}

bool isParallel(int n, int component) {
    return n == 5 ? (component <= 1 || component == 4) : component <= 2;
}

/**
 * True when no vector of the box can make qe or qi overflow, given the bound of each
 * projected component over the box.
 */
bool staysFinite(const double bound[6], int n, double qiScale, bool scaledQi) {
    for (int k = 0; k < n; ++k) {
        const long double b2 = static_cast<long double>(bound[k]) * bound[k];
        if (!(b2 <= kFiniteLimit)) return false;
        if (!isParallel(n, k) && scaledQi) {
            const long double s = qiScale;
            if (!(b2 * s <= kFiniteLimit) || !(b2 * s * s <= kFiniteLimit)) return false;
        }
    }
    return true;
}

/** Factorises the form into the per-level terms of the region; false when it is unusable. */
bool factorise(long double form[6][6], int n, long double radius2, IndexRegion& r) {
    long double top = 0.0L;
    for (int k = 0; k < n; ++k) top = std::max(top, form[k][k]);
    if (!(top > 0.0L) || !std::isfinite(static_cast<double>(top))) return false;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) form[i][j] /= top;
    radius2 /= top;
    // The last index is completed to a square first, so each term holds only outer indices.
    for (int k = n - 1; k >= 0; --k) {
        const long double pivot = form[k][k];
        if (!(pivot > 1e-30L)) return false;
        r.scale[k] = static_cast<double>(pivot);
        for (int j = 0; j < k; ++j) r.coupling[k][j] = static_cast<double>(form[k][j] / pivot);
        for (int i = 0; i < k; ++i)
            for (int j = 0; j < k; ++j) form[i][j] -= form[i][k] * form[k][j] / pivot;
    }
    r.radius2 = static_cast<double>(radius2 * (1.0L + kFormInflation));
    if (!(r.radius2 > 0.0) || !std::isfinite(r.radius2)) return false;
    double reach[6];  // largest |h_i + centre_i| over the box
    double energy = 0.0;
    for (int k = 0; k < n; ++k) {
        double spread = 0.0;
        for (int j = 0; j < k; ++j) spread += std::fabs(r.coupling[k][j]) * r.limits[j];
        r.centreSlack[k] =
            kRoundoff * (spread + std::sqrt(2.0 * r.radius2 / r.scale[k])) + kRelative;
        r.energySlack[k] = kRoundoff * energy + kRelative * r.radius2;
        reach[k] = r.limits[k] + spread;
        energy += r.scale[k] * reach[k] * reach[k];
    }
    return std::isfinite(energy);
}

}  // namespace

IndexRegion boundIndexRegion(const GeometryContext& g, const std::array<int, 6>& limits) {
    IndexRegion r;
    const int n = g.n;
    r.n = n;
    r.limits = limits;
    for (int k = 0; k < n; ++k)
        if (limits[k] < 0) {
            r.kind = IndexRegion::Kind::Empty;
            return r;
        }
    const bool scaledQi = n == 6 || g.yamamoto;
    const double qiScale = scaledQi ? std::fabs(g.a) : 1.0;

    double bound[6] = {};  // largest |q_k| over the box
    double parallelBox = 0.0, perpendicularBox = 0.0;
    for (int k = 0; k < n; ++k) {
        for (int j = 0; j < n; ++j) bound[k] += std::fabs(g.inverse[k][j]) * limits[j];
        bound[k] *= 1.0 + kRoundoff;
        (isParallel(n, k) ? parallelBox : perpendicularBox) += bound[k] * bound[k];
    }
    r.kind = IndexRegion::Kind::Box;
    if (!staysFinite(bound, n, qiScale, scaledQi)) return r;
    r.finite = true;
    parallelBox = std::sqrt(parallelBox) * (1.0 + kRelative);
    perpendicularBox = std::sqrt(perpendicularBox) * (1.0 + kRelative);

    const LengthBound qe = parallelBound(g);
    const LengthBound qi = perpendicularBound(g, qiScale);
    if (qe.nothing || qi.nothing) {
        r.kind = IndexRegion::Kind::Empty;
        return r;
    }
    if (!(parallelBox > 0.0) || !(perpendicularBox > 0.0)) return r;
    // Radii for the exact projections of the computed lengths' limits.
    double rp = qe.unbounded
                    ? parallelBox
                    : qe.value * (1.0 + kRelative) + kProjectionError * parallelBox + kUnderflow;
    double ri = qi.unbounded ? perpendicularBox
                             : qi.value * (1.0 + kRelative) + kProjectionError * perpendicularBox +
                                   kUnderflow * (1.0 + 1.0 / qiScale);
    const bool parallelCuts = rp < parallelBox;
    const bool perpendicularCuts = ri < perpendicularBox;
    if (!parallelCuts && !perpendicularCuts) return r;
    rp = std::min(rp, parallelBox);
    ri = std::min(ri, perpendicularBox);
    ri = std::max(ri, kThinnest * rp);
    rp = std::max(rp, kThinnest * ri);

    // |q_P|^2 / rp^2 + |q_I|^2 / ri^2 <= 2 holds wherever both limits hold.
    const long double least = std::min(rp, ri);
    const long double wp = least / rp, wi = least / ri;
    long double form[6][6] = {};
    for (int k = 0; k < n; ++k) {
        const long double w = isParallel(n, k) ? wp * wp : wi * wi;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                form[i][j] += w * static_cast<long double>(g.inverse[k][i]) * g.inverse[k][j];
    }
    if (factorise(form, n, 2.0L * least * least, r)) r.kind = IndexRegion::Kind::Ellipsoid;
    return r;
}

SurePass surePassBand(const GeometryContext& g, const IndexRegion& region) {
    SurePass band;
    const double wl = g.wavelength;
    if (!region.finite || !(wl > 0.0) || std::isinf(wl) || !(g.qiMax >= 0.0)) return band;
    if (!(g.thetaMin < 89.0) || !(g.thetaMin <= g.thetaMax)) return band;
    const double qiScale = g.n == 6 || g.yamamoto ? std::fabs(g.a) : 1.0;
    const double margin = 1e-9;
    // Below 1e-140 squares may lose digits to underflow; such bands are left to the full test.
    constexpr double kSmallest = 1e-280;

    // theta >= thetaMin and theta > 0.
    const double low = 2.0 * std::sin(std::max(g.thetaMin, 0.0) * kDegreeDivisor) / wl;
    band.parallelLow2 = std::max(low * low * (1.0 + margin), kSmallest);
    // theta <= thetaMax: everything when the constant beyond the limiting sphere passes.
    const double outside = arcSine(2.0) / kDegreeDivisor;
    if (outside <= g.thetaMax && outside >= g.thetaMin) {
        band.parallelHigh2 = HUGE_VAL;
    } else {
        const double s = g.thetaMax >= 90.0 ? 1.0 : std::sin(g.thetaMax * kDegreeDivisor);
        const double high = 2.0 * s / wl;
        band.parallelHigh2 = high * high * (1.0 - margin);
    }
    const double top = g.qiMax / qiScale;
    band.perpendicularHigh2 = top * top * (1.0 - margin);
    if (!(band.perpendicularHigh2 >= kSmallest)) band.perpendicularHigh2 = 0.0;
    band.usable = band.parallelLow2 < band.parallelHigh2 && band.perpendicularHigh2 > 0.0;
    return band;
}

namespace {

/** Most outer prefixes the bound walks; about a millisecond. */
constexpr double kBoundPrefixes = 2e5;

/** The widest range level k can take when `rest` of the radius is left. */
double widestRange(const IndexRegion& r, int k, double rest) {
    const double all = 2.0 * r.limits[k] + 1.0;
    if (!(rest >= 0.0)) return 0.0;
    const double half = std::sqrt(rest / r.scale[k]) + r.centreSlack[k];
    return std::min(all, std::floor(2.0 * half) + 1.0);
}

struct BoundWalk {
    const IndexRegion& r;
    int depth;
    long double total = 0.0L;

    void walk(int k, int h[6], double energy) {
        if (k == depth) {
            long double inner = 1.0L;
            for (int j = depth; j < r.n; ++j)
                inner *= widestRange(r, j, r.radius2 - energy + r.energySlack[j]);
            total += inner;
            return;
        }
        const LevelRange range = levelRange(r, k, h, energy);
        for (int v = range.hi; v >= range.lo; --v) {
            h[k] = v;
            walk(k + 1, h, nextEnergy(r, k, range, v, energy));
        }
    }
};

}  // namespace

BoxCount candidateBound(const IndexRegion& region) {
    if (region.kind == IndexRegion::Kind::Empty) return 0;
    const BoxCount box = boxSize(region.limits, region.n);
    if (region.kind == IndexRegion::Kind::Box) return box;
    // Walk as many outer levels as stay cheap; bound the rest level by level.
    int depth = 0;
    double prefixes = 1.0;
    while (depth < region.n - 1) {
        prefixes *= widestRange(region, depth, region.radius2 + region.energySlack[depth]);
        if (prefixes > kBoundPrefixes) break;
        ++depth;
    }
    BoundWalk walk{region, depth};
    int h[6] = {};
    walk.walk(0, h, 0.0);
    const long double total = std::ceil(walk.total);
    if (!(total < static_cast<long double>(box))) return box;
    return static_cast<BoxCount>(total);
}

}  // namespace tesral
