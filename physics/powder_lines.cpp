#include "physics/powder_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <stdexcept>

#include "engine/approximant_cell.h"
#include "engine/groups.h"

namespace tesral::physics {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr int kLargestLimit = 32767;

/** A reflection as the merge reads it, so that it never goes back to the table's rows. */
struct Member {
    double twoTheta;
    float intensity;
    int absoluteSum;
    std::uint32_t row;
};

/** The projected vector of a row's indices, in double precision. */
void project(const ReflectionRecord& row, const LatticeBasis& basis, int h[6], double q[6]) {
    // Indices are whole numbers, exact in single precision.
    for (int i = 0; i < basis.n; ++i) h[i] = static_cast<int>(row.h(i));
    for (int i = 0; i < basis.n; ++i) {
        double sum = 0.0;
        for (int j = 0; j < basis.n; ++j) sum += basis.inverse(i, j) * h[j];
        q[i] = sum;
    }
}

/** |H-par|^2 split into the plane and the periodic axis, and |H-perp|^2 (1/angstrom^2). */
void lengths(const double q[6], int n, double& plane2, double& axis2, double& perp2) {
    if (n == 5) {
        plane2 = q[0] * q[0] + q[1] * q[1];
        axis2 = q[4] * q[4];
        perp2 = q[2] * q[2] + q[3] * q[3];
    } else {
        plane2 = q[0] * q[0] + q[1] * q[1] + q[2] * q[2];
        axis2 = 0.0;
        perp2 = q[3] * q[3] + q[4] * q[4] + q[5] * q[5];
    }
}

double twoThetaOf(double qe, double wavelength) {
    const double s = wavelength * qe / 2.0;
    if (!(s <= 1.0)) return std::nan("");
    return 2.0 * std::asin(s) / kDegree;
}

/**
 * A reflection's cell indices as absolute values; for a cubic cell (`sorted`) in decreasing
 * order. The axes of an orthorhombic cell differ, so there each keeps its place.
 */
std::array<int, 3> cellFamily(const ReflectionRecord& row, int n, const ApproximantCell& cell) {
    std::array<int, 6> h{};
    for (int j = 0; j < n; ++j) h[static_cast<std::size_t>(j)] = static_cast<int>(row.h(j));
    std::array<int, 3> hkl = cellIndicesOf(cell, h);
    for (int& i : hkl) i = std::abs(i);
    const bool sorted = cell.cubic;
    if (sorted) std::sort(hkl.begin(), hkl.end(), std::greater<>());
    return hkl;
}

int absoluteSum(const ReflectionRecord& row, int n) {
    int sum = 0;
    for (int i = 0; i < n; ++i) sum += std::abs(static_cast<int>(row.h(i)));
    return sum;
}

}  // namespace

double lorentzPolarisation(double twoTheta, const LpSettings& lp) {
    const double theta = twoTheta / 2.0 * kDegree;
    const double s = std::sin(theta);
    const double lorentz = 1.0 / (s * s * std::cos(theta));
    if (lp.neutrons) return lorentz;
    const double cm = std::cos(lp.monochromator * kDegree);
    const double k = lp.monochromator == 0.0 ? 1.0 : cm * cm;
    const double c2 = std::cos(twoTheta * kDegree);
    return (1.0 + k * c2 * c2) / (1.0 + k) * lorentz;
}

LpSettings lpSettingsFor(const Radiation& radiation, double monochromator) {
    if (radiation.kind == RadiationKind::Electron)
        throw std::invalid_argument(
            "electrons make no powder pattern here (their diffraction is dynamical and their "
            "angles tiny); use X-rays or neutrons");
    LpSettings lp;
    lp.neutrons = radiation.kind == RadiationKind::Neutron;
    lp.monochromator = lp.neutrons ? 0.0 : monochromator;
    return lp;
}

std::string widenToWholeOrbits(RunParameters& parameters) {
    const RunParameters& p = parameters;
    if (std::string problem = latticeConstantProblem(p.system, p.a, p.c); !problem.empty())
        return problem;
    const std::optional<LatticeBasis> basis = buildLatticeBasis(p.system, p.a, p.c, p.convention);
    if (!basis) return kLatticeConstantsMessage;
    const double sinMax = p.thetaMax >= 90.0 ? 1.0 : std::sin(p.thetaMax * kDegree);
    double parallelMax = 2.0 * std::max(sinMax, 0.0) / p.wavelength;
    const bool scaledQi =
        p.system == QuasicrystalSystem::Icosahedral || p.convention == MatrixConvention::Yamamoto;
    const double perpMax = std::max(p.qiMax, 0.0) / (scaledQi ? std::fabs(p.a) : 1.0);
    if (p.phasonStrain) {
        // The unstrained |H_par| reaches |H_par'| + |M| |H_perp| (|M| the Frobenius norm).
        double norm2 = 0.0;
        for (double v : p.phasonStrain->values) norm2 += v * v;
        parallelMax += std::sqrt(norm2) * perpMax;
    }
    if (!std::isfinite(parallelMax) || !std::isfinite(perpMax))
        return "the theta window and qi max bound no finite region";
    const int n = basis->n;
    for (int i = 0; i < n; ++i) {
        // h_i is the direct vector i times the projected vector: bounded by the lengths of
        // their parallel and perpendicular parts.
        double q[6] = {};
        for (int j = 0; j < n; ++j) q[j] = basis->direct(i, j);
        double plane2 = 0, axis2 = 0, perp2 = 0;
        lengths(q, n, plane2, axis2, perp2);
        const double bound = std::sqrt(plane2 + axis2) * parallelMax + std::sqrt(perp2) * perpMax;
        if (!(bound < kLargestLimit))
            return "the theta window and qi max need loop limits beyond 32767; narrow them";
        parameters.loopLimit[static_cast<std::size_t>(i)] =
            static_cast<int>(std::floor(bound * (1.0 + 1e-12))) + 1;
    }
    return {};
}

double sixDimensionalConstant(const LatticeBasis& basis) {
    double sum = 0.0;
    for (int j = 0; j < basis.n; ++j) sum += basis.direct(0, j) * basis.direct(0, j);
    return std::sqrt(sum);
}

double labelConstant(const RunResult& run) {
    const double a6D = sixDimensionalConstant(run.basis);
    return groupCentring(run.parameters.groupNumber) == Centring::Face ? a6D / 2.0 : a6D;
}

std::array<double, 2> icosahedralLabelValues(double hPar, double hPerp, double a6D) {
    const double tau = std::numbers::phi;
    const double c2 = 1.0 / (a6D * a6D * 2.0 * (2.0 + tau));
    // |H-par|^2 = c^2 (N + M tau), |H-perp|^2 = c^2 tau (tau N - M).
    const double p = hPar * hPar / c2;
    const double r = hPerp * hPerp / (c2 * tau);
    const double n = (p + tau * r) / (1.0 + tau * tau);
    return {n, tau * n - r};
}

std::optional<IcosahedralLabel> icosahedralLabel(double hPar, double hPerp, double a6D,
                                                 double tolerance) {
    const auto [n, m] = icosahedralLabelValues(hPar, hPerp, a6D);
    const double rn = std::round(n);
    const double rm = std::round(m);
    if (!(std::fabs(n - rn) <= tolerance && std::fabs(m - rm) <= tolerance)) return std::nullopt;
    return IcosahedralLabel{static_cast<long long>(rn), static_cast<long long>(rm)};
}

std::vector<PowderLine> powderLines(const RunResult& run, const LpSettings& lp,
                                    const std::function<bool()>& stop) {
    const int n = run.basis.n;
    const double wavelength = run.parameters.wavelength;
    double inverse[6][6] = {};
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) inverse[i][j] = run.basis.inverse(i, j);
    std::vector<Member> members;
    members.reserve(run.table.size());
    for (std::size_t r = 0; r < run.table.size(); ++r) {
        const ReflectionRecord& row = run.table[r];
        double q[6] = {};
        for (int j = 0; j < n; ++j) {
            const double h = row.h(j);
            for (int i = 0; i < n; ++i) q[i] += inverse[i][j] * h;
        }
        double plane2 = 0, axis2 = 0, perp2 = 0;
        lengths(q, n, plane2, axis2, perp2);
        const double t = twoThetaOf(std::sqrt(plane2 + axis2), wavelength);
        if (std::isfinite(t) && t > 0.0)
            members.push_back(
                {t, row.v[kIntensity], absoluteSum(row, n), static_cast<std::uint32_t>(r)});
    }
    if (stop && stop()) return {};
    std::sort(members.begin(), members.end(),
              [](const Member& a, const Member& b) { return a.twoTheta < b.twoTheta; });

    const bool icosahedral = n == 6;
    const double a6D = icosahedral ? labelConstant(run) : 0.0;
    const RunParameters& p = run.parameters;
    std::optional<ApproximantCell> cell;
    if (p.approximant) cell = runApproximantCell(p);
    const auto familyOf = [&](std::uint32_t row) { return cellFamily(run.table[row], n, *cell); };
    std::vector<std::pair<std::array<int, 3>, double>> families;
    std::vector<PowderLine> lines;
    int h[6] = {};
    double q[6] = {};
    std::size_t first = 0;
    while (first < members.size()) {
        std::size_t last = first + 1;
        while (last < members.size() &&
               members[last].twoTheta - members[last - 1].twoTheta <= kLineMergeDegrees)
            ++last;
        // The representative: the smallest sum of absolute indices, then the first found. The
        // walk runs every index downward, so that is the one with the larger indices first.
        const Member* best = &members[first];
        double intensity = 0.0;
        for (std::size_t k = first; k < last; ++k) {
            const Member& m = members[k];
            intensity += m.intensity;
            if (m.absoluteSum < best->absoluteSum ||
                (m.absoluteSum == best->absoluteSum && m.row < best->row))
                best = &m;
        }
        std::optional<std::array<int, 3>> hkl;
        if (cell) {
            // The strongest family names the line; its representative as above.
            families.assign(1, {familyOf(best->row), 0.0});
            for (std::size_t k = first; k < last; ++k) {
                const std::array<int, 3> f = familyOf(members[k].row);
                auto it = std::find_if(families.begin(), families.end(),
                                       [&](const auto& e) { return e.first == f; });
                if (it == families.end()) it = families.emplace(families.end(), f, 0.0);
                it->second += members[k].intensity;
            }
            const auto strongest =
                std::max_element(families.begin(), families.end(),
                                 [](const auto& a, const auto& b) { return a.second < b.second; });
            hkl = strongest->first;
            if (families.front().first != *hkl) {
                best = nullptr;
                for (std::size_t k = first; k < last; ++k) {
                    const Member& m = members[k];
                    if (familyOf(m.row) != *hkl) continue;
                    if (!best || m.absoluteSum < best->absoluteSum ||
                        (m.absoluteSum == best->absoluteSum && m.row < best->row))
                        best = &m;
                }
            }
        }
        PowderLine line;
        line.indexDimension = n;
        line.multiplicity = static_cast<int>(last - first);
        project(run.table[best->row], run.basis, h, q);
        for (int i = 0; i < n; ++i) line.indices[static_cast<std::size_t>(i)] = h[i];
        double perp2 = 0;
        lengths(q, n, line.plane2, line.axis2, perp2);
        const double qe = std::sqrt(line.plane2 + line.axis2);
        line.twoTheta = twoThetaOf(qe, wavelength);
        line.d = 1.0 / qe;
        line.hPerp = std::sqrt(perp2);
        line.weight = intensity * lorentzPolarisation(line.twoTheta, lp);
        if (icosahedral) line.label = icosahedralLabel(qe, line.hPerp, a6D);
        line.hkl = hkl;
        lines.push_back(line);
        first = last;
    }
    return lines;
}

double lineTwoTheta(const PowderLine& line, double wavelength, double aRatio2, double cRatio2) {
    return twoThetaOf(std::sqrt(line.plane2 * aRatio2 + line.axis2 * cRatio2), wavelength);
}

std::string indexText(const PowderLine& line) {
    std::string text;
    for (int i = 0; i < line.indexDimension; ++i) {
        if (i) text += ' ';
        text += std::to_string(line.indices[static_cast<std::size_t>(i)]);
    }
    return text;
}

std::string labelText(const IcosahedralLabel& label) {
    return std::to_string(label.n) + "/" + std::to_string(label.m);
}

std::string hklText(const std::array<int, 3>& hkl) {
    return std::to_string(hkl[0]) + ' ' + std::to_string(hkl[1]) + ' ' + std::to_string(hkl[2]);
}

std::string lineName(const PowderLine& line) {
    if (line.hkl) return hklText(*line.hkl);
    return line.label ? labelText(*line.label) : indexText(line);
}

}  // namespace tesral::physics
