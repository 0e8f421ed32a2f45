#include "physics/pattern_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "physics/least_squares.h"
#include "physics/pattern_geometry.h"
#include "physics/pattern_seed.h"

namespace tesral::physics {
namespace {

/** A fit must match at least this many spots to say anything. */
constexpr std::size_t kFewestMatches = 4;

/** The map as least squares sees it: the centre and two (or, distorted, four) entries. */
class MapTarget {
  public:
    MapTarget(const std::vector<MeasuredSpot>& spots, const std::vector<SectionPoint>& points,
              const std::vector<PointMatch>& matches, const AffineMap& start, bool affine)
        : spots_(spots), points_(points), matches_(matches), affine_(affine) {
        parameters_.add("centre x", start.cx);
        parameters_.add("centre y", start.cy);
        if (affine_) {
            constexpr const char* names[4] = {"m xu", "m xv", "m yu", "m yv"};
            for (std::size_t i = 0; i < 4; ++i) parameters_.add(names[i], start.m[i]);
        } else {
            // x = cx + a u - b v, y = cy - b u - a v: the similarities keeping the handedness.
            parameters_.add("a", 0.5 * (start.m[0] - start.m[3]));
            parameters_.add("b", -0.5 * (start.m[1] + start.m[2]));
        }
    }
    ParameterVector& parameters() { return parameters_; }
    Eigen::VectorXd observed() const {
        Eigen::VectorXd o(2 * static_cast<Eigen::Index>(matches_.size()));
        for (std::size_t i = 0; i < matches_.size(); ++i) {
            o(2 * static_cast<Eigen::Index>(i)) = spots_[matches_[i].spot].x;
            o(2 * static_cast<Eigen::Index>(i) + 1) = spots_[matches_[i].spot].y;
        }
        return o;
    }
    void valuesAndDerivatives(Eigen::VectorXd& values, Eigen::MatrixXd& jacobian) const {
        const AffineMap map = current();
        jacobian.setZero();
        for (std::size_t i = 0; i < matches_.size(); ++i) {
            const SectionPoint& p = points_[matches_[i].point];
            const auto r = 2 * static_cast<Eigen::Index>(i);
            const std::array<double, 2> at = map.apply(p.u, p.v);
            values(r) = at[0];
            values(r + 1) = at[1];
            jacobian(r, 0) = 1.0;
            jacobian(r + 1, 1) = 1.0;
            if (affine_) {
                jacobian(r, 2) = p.u;
                jacobian(r, 3) = p.v;
                jacobian(r + 1, 4) = p.u;
                jacobian(r + 1, 5) = p.v;
            } else {
                jacobian(r, 2) = p.u;
                jacobian(r, 3) = -p.v;
                jacobian(r + 1, 2) = -p.v;
                jacobian(r + 1, 3) = -p.u;
            }
        }
    }
    AffineMap current() const {
        AffineMap map{parameters_[0], parameters_[1], {}};
        if (affine_) {
            for (int i = 0; i < 4; ++i) map.m[static_cast<std::size_t>(i)] = parameters_[2 + i];
        } else {
            const double a = parameters_[2], b = parameters_[3];
            map.m = {a, -b, -b, -a};
        }
        return map;
    }

  private:
    const std::vector<MeasuredSpot>& spots_;
    const std::vector<SectionPoint>& points_;
    const std::vector<PointMatch>& matches_;
    bool affine_;
    ParameterVector parameters_;
};

double rmsOf(const std::vector<PointMatch>& matches) {
    if (matches.empty()) return 0.0;
    double sum = 0.0;
    for (const PointMatch& m : matches) sum += m.distance * m.distance;
    return std::sqrt(sum / static_cast<double>(matches.size()));
}

/** A refined placement and how well it agrees. */
struct Placement {
    AffineMap map;
    /** The robust cutoff the refinement ended with, pixels. */
    double cutoff = 0.0;
    std::vector<PointMatch> matches;
    double rms = 0.0;
    double agreement = 0.0;
};

/**
 * How well the calculated pattern is seen at a placement: of the points among the measured
 * spots (in their box, outside the spot-free ring around the direct beam) at least as strong
 * as the median matched one, the fraction matched. A scale off by 1/tau (rings repeat by tau)
 * matches as many spots but puts strong calculated spots where nothing was measured.
 */
double agreementOf(const std::vector<MeasuredSpot>& spots, const std::vector<SectionPoint>& points,
                   const AffineMap& map, const std::vector<PointMatch>& matches,
                   const SpotExtent& extent) {
    if (matches.empty()) return 0.0;
    std::vector<double> matched;
    matched.reserve(matches.size());
    for (const PointMatch& m : matches) matched.push_back(points[m.point].strength);
    const auto middle = matched.begin() + static_cast<std::ptrdiff_t>(matched.size() / 2);
    std::nth_element(matched.begin(), middle, matched.end());
    const double strong = *middle;
    double inner = std::numeric_limits<double>::infinity();
    for (const MeasuredSpot& s : spots)
        inner = std::min(inner, std::hypot(s.x - map.cx, s.y - map.cy));
    inner *= 0.9;
    std::size_t expected = 0;
    for (const SectionPoint& p : points) {
        if (p.strength < strong) break;  // strongest first
        const std::array<double, 2> at = map.apply(p.u, p.v);
        if (extent.holds(at[0], at[1]) && std::hypot(at[0] - map.cx, at[1] - map.cy) >= inner)
            ++expected;
    }
    std::size_t seen = 0;
    for (const PointMatch& m : matches)
        if (points[m.point].strength >= strong) ++seen;
    if (!expected) return 0.0;
    // Times the correlation of the matched amplitudes: along the F lattice's rings the
    // positions repeat exactly by tau, the intensities do not.
    double sm = 0, sc = 0, smm = 0, scc = 0, smc = 0;
    for (const PointMatch& m : matches) {
        const double a = std::sqrt(std::max(spots[m.spot].intensity, 0.0));
        const double b = std::sqrt(points[m.point].strength);
        sm += a;
        sc += b;
        smm += a * a;
        scc += b * b;
        smc += a * b;
    }
    const double n = static_cast<double>(matches.size());
    const double vm = smm - sm * sm / n, vc = scc - sc * sc / n;
    const double correlation =
        vm > 0.0 && vc > 0.0 ? (smc - sm * sc / n) / std::sqrt(vm * vc) : 0.0;
    return static_cast<double>(seen) / static_cast<double>(expected) * std::max(correlation, 0.0);
}

/** Nearest-row matching and least squares in turn, the cutoff tightening to the residual. */
Placement refine(const std::vector<MeasuredSpot>& spots, const std::vector<SectionPoint>& points,
                 AffineMap map, double radius, bool distorted, const SpotExtent& extent) {
    double cutoff = radius;
    for (int step = 0; step < 10; ++step) {
        const std::vector<PointMatch> matches = matchPoints(spots, points, map, cutoff);
        const bool affine = distorted && step >= 4;
        if (matches.size() < (affine ? 4u : 3u)) break;
        MapTarget target(spots, points, matches, map, affine);
        const LeastSquaresFit fit = gaussNewton(target, {.maxSteps = 2});
        if (!fit.determined) break;
        map = target.current();
        const double rms = rmsOf(matchPoints(spots, points, map, cutoff));
        // Robust: after the first steps only matches within a few residuals count.
        if (step >= 2) cutoff = std::clamp(3.0 * rms, std::min(1.0, radius), radius);
    }
    Placement p;
    p.map = map;
    p.cutoff = cutoff;
    p.matches = matchPoints(spots, points, map, radius);
    p.rms = rmsOf(p.matches);
    p.agreement = agreementOf(spots, points, map, p.matches, extent);
    return p;
}

/**
 * The placement that matches the most spots; among those that match nearly as many, the one
 * whose intensities agree best. A scale off by tau loses the weak outer spots, one off by
 * 1/tau matches as many but with strong calculated spots where nothing was measured.
 */
std::optional<Placement> bestOf(std::vector<Placement> placements) {
    std::size_t most = 0;
    for (const Placement& p : placements) most = std::max(most, p.matches.size());
    if (most < kFewestMatches) return std::nullopt;
    const std::size_t slack = std::max<std::size_t>(2, most / 20);
    std::optional<Placement> best;
    for (Placement& p : placements) {
        if (p.matches.size() + slack < most) continue;
        if (!best || p.agreement > best->agreement ||
            (p.agreement == best->agreement && p.rms < best->rms))
            best = std::move(p);
    }
    return best;
}

}  // namespace

std::vector<SpotMatch> matchSpots(const std::vector<MeasuredSpot>& spots,
                                  const ZoneSection& section, bool intensities,
                                  const PatternCalibration& calibration, double radius,
                                  double threshold) {
    const std::vector<SectionPoint> points = sectionPoints(section, intensities, threshold);
    const AffineMap map = affineOf(calibration);
    std::vector<SpotMatch> out;
    for (const PointMatch& m : matchPoints(spots, points, map, radius)) {
        const SectionPoint& p = points[m.point];
        const std::array<double, 2> at = map.apply(p.u, p.v);
        out.push_back({m.spot, p.row, at[0], at[1], m.distance});
    }
    return out;
}

namespace {

/** fitPattern(), telling how many spots matched within the full match radius. */
PatternFit fitSection(const std::vector<MeasuredSpot>& spots, const ZoneSection& section,
                      bool intensities, const PatternFitOptions& options,
                      const std::atomic<bool>* stop, std::size_t* matchedAtRadius) {
    PatternFit fit;
    fit.section = section;
    fit.intensities = intensities;
    fit.unmatchedMeasured = spots.size();
    if (spots.size() < kFewestMatches) {
        fit.message = "too few spots to fit a pattern (" + std::to_string(spots.size()) +
                      " found, " + std::to_string(kFewestMatches) + " needed)";
        return fit;
    }
    const std::vector<SectionPoint> points = sectionPoints(section, intensities, options.threshold);
    if (points.size() < 2) {
        fit.message = "the section has too few reflections above the threshold to fit";
        return fit;
    }
    const SpotExtent extent = spotExtent(spots);
    const double radius = options.matchRadius > 0.0 ? options.matchRadius : matchRadiusFor(spots);
    fit.matchRadius = radius;

    std::vector<AffineMap> starts;
    if (options.start) {
        starts.push_back(affineOf(*options.start));
    } else {
        for (const PatternCalibration& c : seedCalibrations(spots, points))
            starts.push_back(affineOf(c));
    }
    std::vector<Placement> placements;
    for (const AffineMap& start : starts) {
        if (stop && stop->load()) {
            fit.message = kFitCancelledMessage;
            return fit;
        }
        placements.push_back(refine(spots, points, start, radius, options.ellipticity, extent));
    }
    const std::optional<Placement> best = bestOf(std::move(placements));
    if (!best) {
        fit.message = "no placement of the section matches " + std::to_string(kFewestMatches) +
                      " or more of the spots";
        return fit;
    }
    fit.calibration = calibrationOf(best->map, options.ellipticity);
    if (matchedAtRadius) *matchedAtRadius = best->matches.size();
    // The spots reported are those within a few residuals; a spot of the direct beam's halo
    // a few pixels from a weak row is no match.
    const double reported =
        options.matchRadius > 0.0 ? radius : std::min(radius, std::max(2.0, best->cutoff));
    fit.matchRadius = reported;
    const std::vector<PointMatch> kept = matchPoints(spots, points, best->map, reported);
    for (const PointMatch& m : kept) {
        const SectionPoint& p = points[m.point];
        const std::array<double, 2> at = best->map.apply(p.u, p.v);
        fit.matches.push_back({m.spot, p.row, at[0], at[1], m.distance});
    }
    fit.unmatchedMeasured = spots.size() - fit.matches.size();
    fit.rmsPixels = rmsOf(kept);
    return fit;
}

}  // namespace

PatternFit fitPattern(const std::vector<MeasuredSpot>& spots, const ZoneSection& section,
                      bool intensities, const PatternFitOptions& options,
                      const std::atomic<bool>* stop) {
    return fitSection(spots, section, intensities, options, stop, nullptr);
}

PatternFit fitMeasuredPattern(const Calculation& calculation, const std::string& axisText,
                              const std::vector<MeasuredSpot>& spots,
                              const PatternFitOptions& options, const Watch& watch) {
    const QuasicrystalSystem system = calculation.parameters.system;
    std::vector<std::pair<std::string, AxisIndices>> axes;
    if (axisText == kAutoAxis) {
        for (const ZonePreset& p : zonePresets(system))
            axes.emplace_back(std::string(p.name), p.axis);
    } else {
        AxisIndices axis{};
        PatternFit failed;
        failed.message = parseZoneAxis(axisText, system, axis);
        if (!failed.ok()) return failed;
        axes.emplace_back(axisText, axis);
    }
    std::optional<PatternFit> best;
    std::size_t bestMatched = 0;
    std::string problem;
    for (std::size_t i = 0; i < axes.size(); ++i) {
        ZoneRequest request{axes[i].second, 0.0, std::nullopt};
        const ZoneResult zone = physics::zone(calculation, request, watch);
        if (!zone.ok()) {
            PatternFit failed;
            failed.message = zone.message;
            if (axes.size() == 1 || zone.message == kSectionCancelledMessage) return failed;
            problem = zone.message;
            continue;
        }
        std::size_t matched = 0;
        PatternFit fit =
            fitSection(spots, zone.section, zone.intensities, options, watch.stop, &matched);
        fit.axisName = axes[i].first;
        fit.axis = axes[i].second;
        if (watch.progress) watch.progress(static_cast<double>(i + 1) / axes.size());
        if (fit.message == kFitCancelledMessage) return fit;
        // The most spots within the one radius all axes share, then the smaller residual.
        if (!best || (fit.ok() && !best->ok()) ||
            (fit.ok() && best->ok() &&
             (matched > bestMatched ||
              (matched == bestMatched && fit.rmsPixels < best->rmsPixels)))) {
            best = std::move(fit);
            bestMatched = matched;
        }
    }
    if (!best) {
        PatternFit failed;
        failed.message = problem.empty() ? "the system has no named axes to try" : problem;
        return failed;
    }
    return std::move(*best);
}

}  // namespace tesral::physics
