#include "physics/lattice_refinement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tesral::physics {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr int kMost = 3;

struct Parameters {
    double a = 0.0, c = 0.0, zero = 0.0;
};

struct Model {
    const std::vector<PowderLine>& lines;
    const LineLattice& lattice;

    double aRatio2(const Parameters& p) const { return lattice.a * lattice.a / (p.a * p.a); }
    double cRatio2(const Parameters& p) const {
        return lattice.axial ? lattice.c * lattice.c / (p.c * p.c) : 1.0;
    }
    double twoTheta(std::size_t line, const Parameters& p) const {
        return lineTwoTheta(lines[line], lattice.wavelength, aRatio2(p), cRatio2(p)) + p.zero;
    }
    /** 2-theta and its derivatives by a, c and the zero shift. */
    double derivatives(std::size_t line, const Parameters& p, std::array<double, kMost>& g) const {
        const PowderLine& l = lines[line];
        const double plane = l.plane2 * aRatio2(p), axis = l.axis2 * cRatio2(p);
        const double q = std::sqrt(plane + axis);
        const double s = lattice.wavelength * q / 2.0;
        const double byQ = lattice.wavelength / std::sqrt(1.0 - s * s) / kDegree;
        g[0] = byQ * (-plane / p.a) / q;
        g[1] = lattice.axial ? byQ * (-axis / p.c) / q : 0.0;
        g[2] = 1.0;
        return 2.0 * std::asin(s) / kDegree + p.zero;
    }
};

/** Solves the symmetric system in place by Gauss-Jordan; false when it is singular. */
bool invert(std::array<std::array<double, kMost>, kMost>& m, int n) {
    std::array<std::array<double, kMost>, kMost> inv{};
    for (int i = 0; i < n; ++i) inv[i][i] = 1.0;
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int r = col + 1; r < n; ++r)
            if (std::fabs(m[r][col]) > std::fabs(m[pivot][col])) pivot = r;
        // Relative to the diagonal: a parameter no peak depends on leaves a zero pivot.
        if (!(std::fabs(m[pivot][col]) > 1e-12 * std::fabs(m[col][col] + 1e-300))) return false;
        std::swap(m[col], m[pivot]);
        std::swap(inv[col], inv[pivot]);
        const double d = m[col][col];
        for (int k = 0; k < n; ++k) {
            m[col][k] /= d;
            inv[col][k] /= d;
        }
        for (int r = 0; r < n; ++r) {
            if (r == col) continue;
            const double f = m[r][col];
            for (int k = 0; k < n; ++k) {
                m[r][k] -= f * m[col][k];
                inv[r][k] -= f * inv[col][k];
            }
        }
    }
    m = inv;
    return true;
}

/** The parameters in use, in order: a, then c (axial), then the zero shift. */
std::vector<int> usedParameters(const LineLattice& lattice, const RefinementSettings& settings) {
    std::vector<int> used{0};
    if (lattice.axial) used.push_back(1);
    if (settings.refineZero) used.push_back(2);
    return used;
}

std::vector<MatchedPeak> match(const Model& model, const std::vector<std::size_t>& eligible,
                               const std::vector<Peak>& peaks, const Parameters& p,
                               double tolerance) {
    std::vector<double> calculated(eligible.size());
    for (std::size_t k = 0; k < eligible.size(); ++k)
        calculated[k] = model.twoTheta(eligible[k], p);
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

}  // namespace

Refinement refineLattice(const std::vector<PowderLine>& lines, const std::vector<Peak>& peaks,
                         const LineLattice& lattice, const RefinementSettings& settings) {
    Refinement out;
    const Model model{lines, lattice};
    const std::vector<int> used = usedParameters(lattice, settings);
    const int n = static_cast<int>(used.size());
    out.parameters = n;

    double strongest = 0.0;
    for (const PowderLine& l : lines) strongest = std::max(strongest, l.weight);
    std::vector<std::size_t> eligible;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].weight >= settings.weakestLine / 100.0 * strongest && lines[i].weight > 0.0)
            eligible.push_back(i);

    Parameters p{lattice.a, lattice.c, 0.0};
    std::vector<MatchedPeak> matches;
    std::array<std::array<double, kMost>, kMost> covariance{};
    double residual2 = 0.0;
    for (int round = 0; round < 10; ++round) {
        std::vector<MatchedPeak> next = match(model, eligible, peaks, p, settings.tolerance);
        const bool same = round > 0 && next.size() == matches.size() &&
                          std::equal(next.begin(), next.end(), matches.begin(),
                                     [](const MatchedPeak& a, const MatchedPeak& b) {
                                         return a.line == b.line && a.observed == b.observed;
                                     });
        matches = std::move(next);
        if (static_cast<int>(matches.size()) < n) {
            out.message = std::to_string(matches.size()) + " peak" +
                          (matches.size() == 1 ? "" : "s") + " matched a calculated line within " +
                          std::to_string(settings.tolerance).substr(0, 5) +
                          " degrees, fewer than the " + std::to_string(n) +
                          " refined parameters; widen the tolerance or start nearer the true "
                          "lattice constant";
            return out;
        }
        if (same) break;
        // Gauss-Newton: 2-theta is nearly linear in the parameters, a few steps converge.
        for (int step = 0; step < 20; ++step) {
            std::array<std::array<double, kMost>, kMost> normal{};
            std::array<double, kMost> rhs{};
            residual2 = 0.0;
            for (const MatchedPeak& m : matches) {
                std::array<double, kMost> g{};
                const double r = m.observed - model.derivatives(m.line, p, g);
                residual2 += r * r;
                for (int i = 0; i < n; ++i) {
                    rhs[i] += g[used[i]] * r;
                    for (int j = 0; j < n; ++j) normal[i][j] += g[used[i]] * g[used[j]];
                }
            }
            if (!invert(normal, n)) {
                out.message = lattice.axial
                                  ? "the matched peaks do not determine both a and c (they need "
                                    "lines with and without a component along the periodic axis)"
                                  : "the matched peaks do not determine the parameters";
                return out;
            }
            covariance = normal;
            double change = 0.0;
            Parameters next = p;
            for (int i = 0; i < n; ++i) {
                double delta = 0.0;
                for (int j = 0; j < n; ++j) delta += normal[i][j] * rhs[j];
                double& value = used[i] == 0 ? next.a : used[i] == 1 ? next.c : next.zero;
                value += delta;
                change = std::max(change, std::fabs(delta));
            }
            p = next;
            if (change < 1e-12) break;
        }
    }
    // The residuals of the final parameters.
    residual2 = 0.0;
    for (MatchedPeak& m : matches) {
        m.calculated = model.twoTheta(m.line, p);
        const PowderLine& l = lines[m.line];
        m.d = 1.0 / std::sqrt(l.plane2 * model.aRatio2(p) + l.axis2 * model.cRatio2(p));
        residual2 += (m.observed - m.calculated) * (m.observed - m.calculated);
        out.meanAbsoluteDelta += std::fabs(m.observed - m.calculated);
    }
    out.meanAbsoluteDelta /= static_cast<double>(matches.size());
    const int freedom = static_cast<int>(matches.size()) - n;
    out.hasSigmas = freedom > 0;
    const double variance = out.hasSigmas ? residual2 / freedom : 0.0;
    for (int i = 0; i < n; ++i) {
        const double sigma = std::sqrt(std::max(0.0, covariance[i][i] * variance));
        (used[i] == 0 ? out.aSigma : used[i] == 1 ? out.cSigma : out.zeroSigma) = sigma;
    }
    out.a = p.a;
    out.c = p.c;
    out.zero = p.zero;
    out.matches = std::move(matches);
    return out;
}

}  // namespace tesral::physics
