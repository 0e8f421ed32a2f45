#include "physics/lattice_refinement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace tesral::physics {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

/** The 2-theta of matched peaks as a least-squares target over a, c and the zero shift. */
class LatticeTarget {
  public:
    LatticeTarget(const std::vector<PowderLine>& lines, const LineLattice& lattice,
                  const RefinementSettings& settings)
        : lines_(lines), lattice_(lattice) {
        a_ = p_.add("a", lattice.a);
        if (lattice.axial) c_ = p_.add("c", lattice.c);
        if (settings.refineZero) zero_ = p_.add("zero", 0.0);
    }

    ParameterVector& parameters() { return p_; }
    const ParameterVector& parameters() const { return p_; }
    double a() const { return p_[a_]; }
    double c() const { return c_ < 0 ? lattice_.c : p_[c_]; }
    double zero() const { return zero_ < 0 ? 0.0 : p_[zero_]; }
    void setLattice(double a, double c) {
        p_[a_] = a;
        if (c_ >= 0) p_[c_] = c;
    }

    double aRatio2() const { return lattice_.a * lattice_.a / (a() * a()); }
    double cRatio2() const { return lattice_.axial ? lattice_.c * lattice_.c / (c() * c()) : 1.0; }
    double twoTheta(std::size_t line) const {
        return lineTwoTheta(lines_[line], lattice_.wavelength, aRatio2(), cRatio2()) + zero();
    }
    double d(std::size_t line) const {
        const PowderLine& l = lines_[line];
        return 1.0 / std::sqrt(l.plane2 * aRatio2() + l.axis2 * cRatio2());
    }

    void setMatches(const std::vector<MatchedPeak>& matches) { matches_ = &matches; }
    Eigen::VectorXd observed() const {
        Eigen::VectorXd v(static_cast<Eigen::Index>(matches_->size()));
        for (std::size_t k = 0; k < matches_->size(); ++k)
            v(static_cast<Eigen::Index>(k)) = (*matches_)[k].observed;
        return v;
    }
    /** 2-theta of each matched line and its derivatives by the parameters. */
    void valuesAndDerivatives(Eigen::VectorXd& values, Eigen::MatrixXd& jacobian) const {
        jacobian.setZero();
        for (std::size_t k = 0; k < matches_->size(); ++k) {
            const auto row = static_cast<Eigen::Index>(k);
            const PowderLine& l = lines_[(*matches_)[k].line];
            const double plane = l.plane2 * aRatio2(), axis = l.axis2 * cRatio2();
            const double q = std::sqrt(plane + axis);
            const double s = lattice_.wavelength * q / 2.0;
            const double byQ = lattice_.wavelength / std::sqrt(1.0 - s * s) / kDegree;
            jacobian(row, a_) = byQ * (-plane / a()) / q;
            if (c_ >= 0) jacobian(row, c_) = byQ * (-axis / c()) / q;
            if (zero_ >= 0) jacobian(row, zero_) = 1.0;
            values(row) = 2.0 * std::asin(s) / kDegree + zero();
        }
    }

  private:
    const std::vector<PowderLine>& lines_;
    const LineLattice& lattice_;
    ParameterVector p_;
    int a_ = -1, c_ = -1, zero_ = -1;
    const std::vector<MatchedPeak>* matches_ = nullptr;
};

std::vector<MatchedPeak> match(const LatticeTarget& model, const std::vector<std::size_t>& eligible,
                               const std::vector<Peak>& peaks, double tolerance) {
    std::vector<double> calculated(eligible.size());
    for (std::size_t k = 0; k < eligible.size(); ++k) calculated[k] = model.twoTheta(eligible[k]);
    std::vector<MatchedPeak> matches;
    for (const Peak& peak : peaks) {
        std::size_t best = eligible.size();
        for (std::size_t k = 0; k < eligible.size(); ++k)
            if (std::fabs(calculated[k] - peak.twoTheta) <= tolerance &&
                (best == eligible.size() || std::fabs(calculated[k] - peak.twoTheta) <
                                                std::fabs(calculated[best] - peak.twoTheta)))
                best = k;
        if (best == eligible.size()) continue;
        matches.push_back({peak.twoTheta, calculated[best], 0.0, eligible[best]});
    }
    // A line explains one peak: the nearest.
    std::sort(matches.begin(), matches.end(), [](const MatchedPeak& a, const MatchedPeak& b) {
        return a.line != b.line
                   ? a.line < b.line
                   : std::fabs(a.observed - a.calculated) < std::fabs(b.observed - b.calculated);
    });
    matches.erase(
        std::unique(matches.begin(), matches.end(),
                    [](const MatchedPeak& a, const MatchedPeak& b) { return a.line == b.line; }),
        matches.end());
    std::sort(matches.begin(), matches.end(),
              [](const MatchedPeak& a, const MatchedPeak& b) { return a.observed < b.observed; });
    return matches;
}

/** How well a trial lattice matches: more peaks first, then the smaller scatter of the deltas
 *  (about their mean when a zero shift is refined, which takes up a common offset). */
struct Score {
    std::size_t matched = 0;
    double scatter = 0.0;
    bool better(const Score& o) const {
        return matched != o.matched ? matched > o.matched : scatter < o.scatter;
    }
};

Score scoreOf(const std::vector<MatchedPeak>& matches, bool refineZero) {
    Score s{matches.size(), 0.0};
    if (matches.empty()) return s;
    double mean = 0.0;
    if (refineZero) {
        for (const MatchedPeak& m : matches) mean += m.observed - m.calculated;
        mean /= static_cast<double>(matches.size());
    }
    for (const MatchedPeak& m : matches)
        s.scatter += (m.observed - m.calculated - mean) * (m.observed - m.calculated - mean);
    return s;
}

/**
 * Moves the target's a (and c) to the best score over start * (1 +- range). The step keeps the
 * highest peak's line within a quarter of the tolerance between neighbouring trials.
 */
void scanLattice(LatticeTarget& target, const LineLattice& lattice,
                 const std::vector<std::size_t>& eligible, const std::vector<Peak>& peaks,
                 const RefinementSettings& settings) {
    if (!(settings.scanRange > 0.0) || peaks.empty()) return;
    double highest = 0.0;
    for (const Peak& p : peaks) highest = std::max(highest, p.twoTheta);
    const double tanTheta = std::tan(std::min(highest, 170.0) / 2.0 * kDegree);
    // d(2 theta) = 2 tan(theta) da / a (radians).
    const double step = std::max(settings.tolerance * kDegree / 4.0 / (2.0 * tanTheta), 1e-5);
    const int count = std::min(static_cast<int>(std::ceil(settings.scanRange / step)), 1000);
    const int cCount = lattice.axial ? count : 0;
    // Nearest the start first, so that ties keep the trial nearest it.
    std::vector<std::pair<int, int>> trials;
    for (int i = -count; i <= count; ++i)
        for (int j = -cCount; j <= cCount; ++j) trials.emplace_back(i, j);
    std::stable_sort(trials.begin(), trials.end(), [](const auto& x, const auto& y) {
        return std::abs(x.first) + std::abs(x.second) < std::abs(y.first) + std::abs(y.second);
    });
    Score best;
    double bestA = lattice.a, bestC = lattice.c;
    bool any = false;
    for (const auto& [i, j] : trials) {
        const double a = lattice.a * (1.0 + settings.scanRange * i / count);
        const double c = cCount ? lattice.c * (1.0 + settings.scanRange * j / cCount) : lattice.c;
        target.setLattice(a, c);
        const Score s =
            scoreOf(match(target, eligible, peaks, settings.tolerance), settings.refineZero);
        if (!any || s.better(best)) {
            best = s;
            bestA = a;
            bestC = c;
            any = true;
        }
    }
    target.setLattice(bestA, bestC);
}

std::string tooFewMessage(std::size_t matched, int n, double tolerance) {
    return std::to_string(matched) + " peak" + (matched == 1 ? "" : "s") +
           " matched a calculated line within " + std::to_string(tolerance).substr(0, 5) +
           " degrees, fewer than the " + std::to_string(n) +
           " refined parameters; widen the tolerance or start nearer the true lattice constant";
}

/** Empty when the fit is a result; else what is wrong and its likely cause. */
std::string warningFor(std::size_t matched, std::size_t peaks, int n, const LineLattice& l,
                       double meanDelta, double tolerance) {
    char numbers[160];
    std::snprintf(numbers, sizeof numbers, "the wavelength (%g A) or the lattice constant%s",
                  l.wavelength, l.axial ? "s (a, c)" : " (a)");
    const std::string cause = std::string("; ") + numbers +
                              " probably do not belong to this pattern: check the radiation of "
                              "the measured file and start from a literature value";
    if (2 * matched < peaks)
        return "only " + std::to_string(matched) + " of " + std::to_string(peaks) +
               " peaks matched a calculated line, fewer than half" + cause;
    if (static_cast<int>(matched) < n + 2)
        return std::to_string(matched) + " matched peaks for " + std::to_string(n) +
               " refined parameters are too few to judge the fit (it needs at least " +
               std::to_string(n + 2) + ")" + cause;
    // Peaks the lines explain sit far closer than the tolerance; chance matches spread over it.
    if (meanDelta > tolerance / 4.0) {
        std::snprintf(numbers, sizeof numbers, "%.4f", meanDelta);
        return std::string("the matched peaks lie ") + numbers +
               " degrees from their lines on average, more than a quarter of the tolerance, as "
               "chance matches do" +
               cause;
    }
    return {};
}

}  // namespace

Refinement refineLattice(const std::vector<PowderLine>& lines, const std::vector<Peak>& peaks,
                         const LineLattice& lattice, const RefinementSettings& settings) {
    Refinement out;
    out.peaks = peaks.size();
    LatticeTarget target(lines, lattice, settings);
    const int n = target.parameters().size();
    out.parameters = n;

    double strongest = 0.0;
    for (const PowderLine& l : lines) strongest = std::max(strongest, l.weight);
    std::vector<std::size_t> eligible;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].weight >= settings.weakestLine / 100.0 * strongest && lines[i].weight > 0.0)
            eligible.push_back(i);

    scanLattice(target, lattice, eligible, peaks, settings);
    out.startA = target.a();
    out.startC = target.c();
    std::vector<MatchedPeak> matches;
    target.setMatches(matches);
    LeastSquaresFit fit;
    for (int round = 0; round < 10; ++round) {
        std::vector<MatchedPeak> next = match(target, eligible, peaks, settings.tolerance);
        const bool same = round > 0 && next.size() == matches.size() &&
                          std::equal(next.begin(), next.end(), matches.begin(),
                                     [](const MatchedPeak& a, const MatchedPeak& b) {
                                         return a.line == b.line && a.observed == b.observed;
                                     });
        matches = std::move(next);
        if (static_cast<int>(matches.size()) < n) {
            out.message = tooFewMessage(matches.size(), n, settings.tolerance);
            return out;
        }
        if (same) break;
        // Gauss-Newton: 2-theta is nearly linear in the parameters, a few steps converge.
        fit = gaussNewton(target);
        if (!fit.determined) {
            out.message = lattice.axial
                              ? "the matched peaks do not determine both a and c (they need "
                                "lines with and without a component along the periodic axis)"
                              : "the matched peaks do not determine the parameters";
            return out;
        }
    }
    // The residuals of the final parameters.
    double residual2 = 0.0;
    for (MatchedPeak& m : matches) {
        m.calculated = target.twoTheta(m.line);
        m.d = target.d(m.line);
        residual2 += (m.observed - m.calculated) * (m.observed - m.calculated);
        out.meanAbsoluteDelta += std::fabs(m.observed - m.calculated);
    }
    out.meanAbsoluteDelta /= static_cast<double>(matches.size());
    const int freedom = static_cast<int>(matches.size()) - n;
    out.hasSigmas = freedom > 0;
    const double variance = out.hasSigmas ? residual2 / freedom : 0.0;
    out.values = target.parameters();
    for (int i = 0; i < n; ++i)
        out.sigmas.push_back(std::sqrt(std::max(0.0, fit.normalInverse(i, i) * variance)));
    const auto sigmaOf = [&](const char* name) {
        const int i = out.values.indexOf(name);
        return i < 0 ? 0.0 : out.sigmas[static_cast<std::size_t>(i)];
    };
    out.a = target.a();
    out.c = target.c();
    out.zero = target.zero();
    out.aSigma = sigmaOf("a");
    out.cSigma = sigmaOf("c");
    out.zeroSigma = sigmaOf("zero");
    out.warning = warningFor(matches.size(), peaks.size(), n, lattice, out.meanAbsoluteDelta,
                             settings.tolerance);
    out.matches = std::move(matches);
    return out;
}

}  // namespace tesral::physics
