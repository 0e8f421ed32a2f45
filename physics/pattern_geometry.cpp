#include "physics/pattern_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <unordered_map>

#include "engine/reflection_table.h"

namespace tesral::physics {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

}  // namespace

std::vector<SectionPoint> sectionPoints(const ZoneSection& section, bool intensities,
                                        double threshold) {
    std::vector<SectionPoint> points;
    const ReflectionTable& table = section.run.table;
    double strongest = 0.0;
    for (std::size_t i = 0; i < table.size() && i < section.spots.size(); ++i) {
        const ZoneSpot& s = section.spots[i];
        if (s.nearZone || (s.u == 0.0 && s.v == 0.0)) continue;
        // Without a model the zone view sizes spots by 1/qi; qi = 0 is as strong as it gets.
        const double qi = std::max(static_cast<double>(table[i].qi()), 1e-3);
        const double strength = intensities ? table[i].v[kIntensity] : 1.0 / qi;
        points.push_back({s.u, s.v, strength, i});
        strongest = std::max(strongest, strength);
    }
    if (strongest <= 0.0) return {};
    for (SectionPoint& p : points) p.strength *= 100.0 / strongest;
    if (intensities)
        std::erase_if(points, [&](const SectionPoint& p) {
            return !(p.strength >= threshold) || p.strength <= 0.0;
        });
    std::stable_sort(
        points.begin(), points.end(),
        [](const SectionPoint& a, const SectionPoint& b) { return a.strength > b.strength; });
    return points;
}

AffineMap affineOf(const PatternCalibration& c) {
    const double root = std::sqrt(std::max(c.ellipseRatio, 1e-6));
    const double ca = std::cos(c.ellipseAngle * kDegree), sa = std::sin(c.ellipseAngle * kDegree);
    // A = R(psi) diag(sqrt r, 1/sqrt r) R(-psi): unit determinant, so `scale` is the mean.
    const double a00 = ca * ca * root + sa * sa / root, a11 = sa * sa * root + ca * ca / root;
    const double a01 = ca * sa * (root - 1.0 / root);
    const double cr = std::cos(c.rotation * kDegree), sr = std::sin(c.rotation * kDegree);
    // Screen-up matrix s A R(phi); the image's y runs down.
    const double p00 = c.scale * (a00 * cr + a01 * sr), p01 = c.scale * (-a00 * sr + a01 * cr);
    const double p10 = c.scale * (a01 * cr + a11 * sr), p11 = c.scale * (-a01 * sr + a11 * cr);
    return {c.centreX, c.centreY, {p00, p01, -p10, -p11}};
}

PatternCalibration calibrationOf(const AffineMap& map, bool distorted) {
    PatternCalibration c;
    c.centreX = map.cx;
    c.centreY = map.cy;
    const double m00 = map.m[0], m01 = map.m[1], m10 = -map.m[2], m11 = -map.m[3];
    const double phi = std::atan2(m10 - m01, m00 + m11);
    c.rotation = phi / kDegree;
    c.scale = std::sqrt(std::max(m00 * m11 - m01 * m10, 0.0));
    if (!distorted) return c;
    // Polar decomposition: P = M' R(phi)^T is the symmetric distortion times the scale.
    const double cp = std::cos(phi), sp = std::sin(phi);
    const double a = m00 * cp - m01 * sp, d = m10 * sp + m11 * cp;
    const double b = 0.5 * ((m00 * sp + m01 * cp) + (m10 * cp - m11 * sp));
    const double mean = 0.5 * (a + d), half = std::hypot(0.5 * (a - d), b);
    const double large = mean + half, small = mean - half;
    if (small <= 0.0) return c;
    c.scale = std::sqrt(large * small);
    c.ellipseRatio = large / small;
    double angle = 0.5 * std::atan2(2.0 * b, a - d) / kDegree;
    if (angle < 0.0) angle += 180.0;
    c.ellipseAngle = angle;
    return c;
}

std::array<double, 2> PatternCalibration::pixelOf(double u, double v) const {
    return affineOf(*this).apply(u, v);
}

std::array<double, 2> PatternCalibration::planeOf(double x, double y) const {
    const AffineMap a = affineOf(*this);
    const double det = a.m[0] * a.m[3] - a.m[1] * a.m[2];
    if (det == 0.0) return {0.0, 0.0};
    const double dx = x - a.cx, dy = y - a.cy;
    return {(a.m[3] * dx - a.m[1] * dy) / det, (-a.m[2] * dx + a.m[0] * dy) / det};
}

std::vector<PointMatch> matchPoints(const std::vector<MeasuredSpot>& spots,
                                    const std::vector<SectionPoint>& points, const AffineMap& map,
                                    double radius) {
    std::vector<PointMatch> out;
    if (spots.empty() || points.empty() || !(radius > 0.0)) return out;
    double minX = std::numeric_limits<double>::infinity(), maxX = -minX, minY = minX, maxY = -minX;
    for (const MeasuredSpot& s : spots) {
        minX = std::min(minX, s.x);
        maxX = std::max(maxX, s.x);
        minY = std::min(minY, s.y);
        maxY = std::max(maxY, s.y);
    }
    // Points in a grid of cells one radius wide over the spots' box.
    const auto cell = [&](double value, double low) {
        return static_cast<std::int64_t>(std::floor((value - low) / radius));
    };
    std::unordered_map<std::int64_t, std::vector<std::size_t>> grid;
    const std::int64_t columns = cell(maxX + radius, minX - radius) + 3;
    std::vector<std::array<double, 2>> at(points.size());
    for (std::size_t k = 0; k < points.size(); ++k) {
        at[k] = map.apply(points[k].u, points[k].v);
        const double x = at[k][0], y = at[k][1];
        if (!(x >= minX - radius && x <= maxX + radius && y >= minY - radius && y <= maxY + radius))
            continue;
        grid[cell(y, minY - radius) * columns + cell(x, minX - radius)].push_back(k);
    }
    std::vector<PointMatch> best(points.size(), {0, 0, std::numeric_limits<double>::infinity()});
    for (std::size_t i = 0; i < spots.size(); ++i) {
        const std::int64_t cx = cell(spots[i].x, minX - radius),
                           cy = cell(spots[i].y, minY - radius);
        double nearest = radius;
        std::size_t which = points.size();
        for (std::int64_t dy = -1; dy <= 1; ++dy)
            for (std::int64_t dx = -1; dx <= 1; ++dx) {
                const auto found = grid.find((cy + dy) * columns + cx + dx);
                if (found == grid.end()) continue;
                for (const std::size_t k : found->second) {
                    const double d = std::hypot(at[k][0] - spots[i].x, at[k][1] - spots[i].y);
                    if (d < nearest) {
                        nearest = d;
                        which = k;
                    }
                }
            }
        if (which < points.size() && nearest < best[which].distance)
            best[which] = {i, which, nearest};
    }
    for (const PointMatch& m : best)
        if (std::isfinite(m.distance)) out.push_back(m);
    std::sort(out.begin(), out.end(),
              [](const PointMatch& a, const PointMatch& b) { return a.spot < b.spot; });
    return out;
}

}  // namespace tesral::physics
