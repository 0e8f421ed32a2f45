#include "physics/pattern_seed.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <numeric>
#include <unordered_map>

namespace tesral::physics {
namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

/** How many of the strongest spots and section points vote. */
constexpr std::size_t kCentreVoters = 80;
constexpr std::size_t kMeasuredVoters = 40;
constexpr std::size_t kSectionVoters = 60;
/** Vote bins: the logarithm of the scale and the rotation (degrees). */
constexpr double kLogScaleBin = 0.004;
constexpr double kRotationBin = 1.0;
/** Placements tried: scales, and rotations at each. */
constexpr std::size_t kScalesTried = 8;
constexpr std::size_t kRotationsPerScale = 2;

std::vector<std::size_t> strongestFirst(const std::vector<MeasuredSpot>& spots, std::size_t n) {
    std::vector<std::size_t> order(spots.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    n = std::min(n, order.size());
    std::partial_sort(
        order.begin(), order.begin() + static_cast<std::ptrdiff_t>(n), order.end(),
        [&](std::size_t a, std::size_t b) { return spots[a].intensity > spots[b].intensity; });
    order.resize(n);
    return order;
}

std::int64_t key(std::int64_t a, std::int64_t b) {
    return a * 4000037 + b;
}

}  // namespace

SpotExtent spotExtent(const std::vector<MeasuredSpot>& spots) {
    SpotExtent e{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                 std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    for (const MeasuredSpot& s : spots) {
        e.minX = std::min(e.minX, s.x);
        e.maxX = std::max(e.maxX, s.x);
        e.minY = std::min(e.minY, s.y);
        e.maxY = std::max(e.maxY, s.y);
    }
    return e;
}

double matchRadiusFor(const std::vector<MeasuredSpot>& spots) {
    // The nearest neighbours of the strongest few hundred spots: enough for the spacing.
    const std::vector<std::size_t> some = strongestFirst(spots, 300);
    std::vector<double> nearest;
    for (const std::size_t i : some) {
        double d = std::numeric_limits<double>::infinity();
        for (const std::size_t j : some)
            if (i != j)
                d = std::min(d, std::hypot(spots[i].x - spots[j].x, spots[i].y - spots[j].y));
        if (std::isfinite(d)) nearest.push_back(d);
    }
    if (nearest.empty()) return 3.0;
    std::nth_element(nearest.begin(),
                     nearest.begin() + static_cast<std::ptrdiff_t>(nearest.size() / 2),
                     nearest.end());
    return std::clamp(0.2 * nearest[nearest.size() / 2], 1.5, 12.0);
}

std::array<double, 2> centreSeed(const std::vector<MeasuredSpot>& spots) {
    const std::vector<std::size_t> voters = strongestFirst(spots, kCentreVoters);
    constexpr double cell = 1.5;  // pixels
    std::unordered_map<std::int64_t, std::vector<std::array<double, 2>>> votes;
    for (std::size_t a = 0; a < voters.size(); ++a)
        for (std::size_t b = a + 1; b < voters.size(); ++b) {
            const MeasuredSpot& p = spots[voters[a]];
            const MeasuredSpot& q = spots[voters[b]];
            // Friedel mates are about as strong as each other.
            const double lo = std::min(p.intensity, q.intensity),
                         hi = std::max(p.intensity, q.intensity);
            if (!(hi > 0.0) || lo < hi / 3.0) continue;
            const double mx = 0.5 * (p.x + q.x), my = 0.5 * (p.y + q.y);
            votes[key(static_cast<std::int64_t>(std::floor(mx / cell)),
                      static_cast<std::int64_t>(std::floor(my / cell)))]
                .push_back({mx, my});
        }
    std::size_t most = 0;
    std::array<double, 2> centre{};
    for (const auto& [k, list] : votes) {
        const std::array<double, 2> at = list.front();
        const auto ix = static_cast<std::int64_t>(std::floor(at[0] / cell));
        const auto iy = static_cast<std::int64_t>(std::floor(at[1] / cell));
        std::size_t count = 0;
        double sx = 0.0, sy = 0.0;
        for (std::int64_t dx = -1; dx <= 1; ++dx)
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto found = votes.find(key(ix + dx, iy + dy));
                if (found == votes.end()) continue;
                for (const auto& m : found->second) {
                    sx += m[0];
                    sy += m[1];
                    ++count;
                }
            }
        if (count > most) {
            most = count;
            centre = {sx / static_cast<double>(count), sy / static_cast<double>(count)};
        }
    }
    if (most >= 3) return centre;
    double w = 0.0, sx = 0.0, sy = 0.0;
    for (const MeasuredSpot& s : spots) {
        const double i = std::max(s.intensity, 0.0) + 1e-12;
        w += i;
        sx += i * s.x;
        sy += i * s.y;
    }
    return {sx / w, sy / w};
}

std::vector<PatternCalibration> seedCalibrations(const std::vector<MeasuredSpot>& spots,
                                                 const std::vector<SectionPoint>& points) {
    const std::array<double, 2> centre = centreSeed(spots);
    const double nearBeam = 2.0 * matchRadiusFor(spots);
    std::vector<std::array<double, 2>> measured;  // radius (pixels), screen angle (degrees)
    for (const std::size_t i : strongestFirst(spots, spots.size())) {
        const double dx = spots[i].x - centre[0], dy = centre[1] - spots[i].y;
        const double r = std::hypot(dx, dy);
        if (r > nearBeam) measured.push_back({r, std::atan2(dy, dx) / kDegree});
        if (measured.size() == kMeasuredVoters) break;
    }
    // Each pair of a measured spot and a section point votes for the scale and rotation
    // that put one on the other.
    const auto rotationBins = static_cast<std::int64_t>(std::lround(360.0 / kRotationBin));
    std::unordered_map<std::int64_t, int> votes;
    const std::size_t sectionVoters = std::min(points.size(), kSectionVoters);
    for (const auto& [r, angle] : measured)
        for (std::size_t k = 0; k < sectionVoters; ++k) {
            const double rho = std::hypot(points[k].u, points[k].v);
            if (!(rho > 0.0)) continue;
            const double rotation = angle - std::atan2(points[k].v, points[k].u) / kDegree;
            const auto s = static_cast<std::int64_t>(std::floor(std::log(r / rho) / kLogScaleBin));
            auto t = static_cast<std::int64_t>(std::floor(rotation / kRotationBin)) % rotationBins;
            if (t < 0) t += rotationBins;
            ++votes[key(s, t)];
        }
    struct Peak {
        std::int64_t s, t;
        int count;
    };
    std::vector<Peak> peaks;
    for (const auto& [k, unused] : votes) {
        (void)unused;
        // The key back into its bins: scales may be negative, rotations are 0..bins-1.
        std::int64_t s = k / 4000037, t = k % 4000037;
        if (t < 0) {
            t += 4000037;
            --s;
        }
        int count = 0;
        for (std::int64_t ds = -1; ds <= 1; ++ds)
            for (std::int64_t dt = -1; dt <= 1; ++dt) {
                const auto found = votes.find(key(s + ds, (t + dt + rotationBins) % rotationBins));
                if (found != votes.end()) count += found->second;
            }
        peaks.push_back({s, t, count});
    }
    std::sort(peaks.begin(), peaks.end(), [](const Peak& a, const Peak& b) {
        if (a.count != b.count) return a.count > b.count;
        return a.s != b.s ? a.s < b.s : a.t < b.t;
    });
    std::vector<Peak> kept;
    std::vector<std::pair<std::int64_t, std::size_t>> scales;  // scale bin, rotations kept
    for (const Peak& p : peaks) {
        auto same = std::find_if(scales.begin(), scales.end(),
                                 [&](const auto& s) { return std::abs(s.first - p.s) <= 3; });
        if (same == scales.end()) {
            if (scales.size() == kScalesTried) continue;
            scales.emplace_back(p.s, 0);
            same = scales.end() - 1;
        }
        if (same->second == kRotationsPerScale) continue;
        const bool near = std::any_of(kept.begin(), kept.end(), [&](const Peak& q) {
            const std::int64_t dt = std::abs(q.t - p.t) % rotationBins;
            return std::abs(q.s - p.s) <= 3 && std::min(dt, rotationBins - dt) <= 3;
        });
        if (near) continue;
        kept.push_back(p);
        ++same->second;
        if (kept.size() == kScalesTried * kRotationsPerScale) break;
    }
    std::vector<PatternCalibration> out;
    for (const Peak& p : kept) {
        PatternCalibration c;
        c.centreX = centre[0];
        c.centreY = centre[1];
        c.scale = std::exp((static_cast<double>(p.s) + 0.5) * kLogScaleBin);
        c.rotation = (static_cast<double>(p.t) + 0.5) * kRotationBin;
        out.push_back(c);
    }
    return out;
}

}  // namespace tesral::physics
