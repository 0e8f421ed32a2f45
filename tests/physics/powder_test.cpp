#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <numeric>
#include <set>

#include "physics/intensity.h"
#include "physics/one_site_model.h"
#include "physics/powder_lines.h"
#include "physics/powder_profile.h"
#include "powder_support.h"

using namespace tesral;
using namespace tesral::physics;

namespace {

TEST(PowderLp, MatchesTheFormulaForEachRadiation) {
    struct Case {
        double twoTheta;
        LpSettings lp;
        double expected;  // worked out by hand from (1 + K cos^2 2t) / ((1 + K) sin^2 t cos t)
    };
    const Case cases[] = {
        {90.0, {true, 0.0}, 2.828427},    {90.0, {false, 0.0}, 1.414214},
        {60.0, {false, 26.6}, 3.079724},  {30.0, {false, 0.0}, 13.522962},
        {120.0, {false, 26.6}, 1.778079},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(lorentzPolarisation(c.twoTheta, c.lp), c.expected, 1e-6) << c.twoTheta;
    Radiation electrons;
    electrons.kind = RadiationKind::Electron;
    EXPECT_THROW(lpSettingsFor(electrons, 0.0), std::invalid_argument);
}

TEST(PowderProfile, PseudoVoigtHasUnitAreaAndItsWidth) {
    const double h = 0.13;
    for (const double eta : {0.0, 0.3, 1.0}) {
        // Riemann sum over +-2000 widths; the Lorentzian tail beyond adds 2/(pi 4000) * eta.
        const double dx = h / 200.0;
        double area = 0.0;
        for (double x = -2000.0 * h; x <= 2000.0 * h; x += dx) area += pseudoVoigt(x, h, eta) * dx;
        area += eta * 2.0 / (std::numbers::pi * 4000.0);
        EXPECT_NEAR(area, 1.0, 2e-5) << eta;
        EXPECT_NEAR(pseudoVoigt(h / 2.0, h, eta), pseudoVoigt(0.0, h, eta) / 2.0, 1e-12) << eta;
    }
    // On a grid, one line gives the sampled profile scaled to 100.
    PowderLine line;
    line.twoTheta = 30.004;
    line.weight = 7.0;
    const TwoThetaGrid grid{29.0, 31.0, 0.01};
    const ProfileShape shape{0.0, 0.0, h * h, 0.4};
    const std::vector<double> y = powderProfile({line}, grid, shape);
    const double top = pseudoVoigt(0.004, h, 0.4);
    for (std::size_t i = 0; i < y.size(); i += 37)
        EXPECT_NEAR(y[i], 100.0 * pseudoVoigt(grid.at(i) - line.twoTheta, h, 0.4) / top, 1e-9);
}

TEST(PowderLines, IcosahedralAlCuFeLinesStandWhereTheyAreKnown) {
    const PowderRun run = powderRun(icosahedralInputs(6.32, "1"));
    const auto near = [&](double twoTheta) {
        return *std::min_element(run.lines.begin(), run.lines.end(), [&](auto& a, auto& b) {
            return std::fabs(a.twoTheta - twoTheta) < std::fabs(b.twoTheta - twoTheta);
        });
    };
    const PowderLine l18 = near(42.83);
    const PowderLine l20 = near(45.15);
    EXPECT_NEAR(l18.twoTheta, 42.83, 0.005);
    EXPECT_NEAR(l20.twoTheta, 45.15, 0.005);
    ASSERT_TRUE(l18.label && l20.label);
    EXPECT_EQ(labelText(*l18.label), "18/29");
    EXPECT_EQ(labelText(*l20.label), "20/32");
    EXPECT_NEAR(l18.d, 2.1101, 1e-3);
    EXPECT_EQ(indexText(l18), "2 1 1 1 1 1");
}

TEST(PowderLines, FCentredLabelsAreThoseOfThePrimitiveLatticeOfHalfTheConstant) {
    // i-AlCuFe entered with its doubled cell, a6D(F) = 12.64 A (Fm-3-5).
    RunInputs in = icosahedralInputs(12.64, "1");
    in.groupPosition = 9;
    const PowderRun run = powderRun(in);
    EXPECT_NEAR(sixDimensionalConstant(run.run.basis), 12.64, 1e-5);
    const struct {
        double d;
        const char* indices;
        const char* label;
    } known[] = {{3.414, "3 1 1 1 1 1", "7/11"},
                 {2.110, "4 2 2 2 2 2", "18/29"},
                 {2.007, "4 4 2 0 0 2", "20/32"},
                 {1.240, "6 6 4 0 0 4", "52/84"}};
    for (const auto& k : known) {
        const PowderLine& l = *std::min_element(
            run.lines.begin(), run.lines.end(),
            [&](auto& a, auto& b) { return std::fabs(a.d - k.d) < std::fabs(b.d - k.d); });
        EXPECT_NEAR(l.d, k.d, 1e-3);
        EXPECT_EQ(indexText(l), k.indices);
        ASSERT_TRUE(l.label) << k.indices;
        EXPECT_EQ(labelText(*l.label), k.label);
    }
    for (const PowderLine& line : run.lines) EXPECT_TRUE(line.label.has_value());
}

TEST(PowderLines, EveryIcosahedralReflectionHasWholeLabels) {
    for (const MatrixConvention convention :
         {MatrixConvention::Yamamoto, MatrixConvention::Steurer}) {
        RunInputs in = icosahedralInputs(6.32, "1");
        in.convention = convention;
        in.qiMax = "1.5";
        // The Steurer basis gives a6D = a / sqrt(2).
        if (convention == MatrixConvention::Steurer) in.a = std::to_string(6.32 * std::sqrt(2.0));
        const PowderRun run = powderRun(in);
        ASSERT_GT(run.run.table.size(), 1000u);
        const double a6D = sixDimensionalConstant(run.run.basis);
        EXPECT_NEAR(a6D, 6.32, 1e-5);
        for (const ReflectionRecord& row : run.run.table) {
            const SplitLengths q = splitLengths(row, run.run.basis);
            const auto [n, m] = icosahedralLabelValues(q.parallel, q.perpendicular, a6D);
            ASSERT_NEAR(n, std::round(n), 1e-6);
            ASSERT_NEAR(m, std::round(m), 1e-6);
        }
        for (const PowderLine& line : run.lines) ASSERT_TRUE(line.label.has_value());
    }
}

TEST(PowderLines, CubicApproximantLinesAreNamedByTheirCellIndices) {
    RunInputs in = icosahedralInputs(6.32, "1");
    in.approximant = "1/1";
    const PowderRun run = powderRun(in);
    ASSERT_GT(run.lines.size(), 20u);
    // a_c = (q + p tau) a6D sqrt(2 / (2 + tau)) for p/q = 1/1.
    const double tau = std::numbers::phi;
    const double ac = (1.0 + tau) * 6.32 * std::sqrt(2.0 / (2.0 + tau));
    long previous = 0;
    for (const PowderLine& line : run.lines) {
        const double n = ac * ac / (line.d * line.d);
        ASSERT_NEAR(n, std::round(n), 1e-4) << line.twoTheta;  // a is typed to 6 decimals
        ASSERT_TRUE(line.hkl) << line.twoTheta;
        const auto [h, k, l] = *line.hkl;
        EXPECT_EQ(h * h + k * k + l * l, std::lround(n));
        EXPECT_TRUE(h >= k && k >= l && l >= 0) << hklText(*line.hkl);
        // Body-centred cell; every family of one h^2 + k^2 + l^2 on one line.
        EXPECT_EQ((h + k + l) % 2, 0) << hklText(*line.hkl);
        EXPECT_GT(std::lround(n), previous);
        previous = std::lround(n);
    }
    const PowderLine& strongest = *std::max_element(
        run.lines.begin(), run.lines.end(), [](auto& a, auto& b) { return a.weight < b.weight; });
    EXPECT_EQ(lineName(strongest), hklText(*strongest.hkl));
}

TEST(PowderLines, OrthorhombicApproximantLinesKeepTheirAxes) {
    RunInputs in = decagonalInputs(2.82, 12.06);
    in.approximant = "2/1,3/2";
    const PowderRun run = powderRun(in);
    ASSERT_GT(run.lines.size(), 20u);
    const RunParameters& p = run.run.parameters;
    const auto abc =
        approximantCell(*buildLatticeBasis(p.system, p.a, p.c, p.convention), *p.approximant)
            .constants;
    for (const PowderLine& line : run.lines) {
        ASSERT_TRUE(line.hkl);
        double inverse2 = 0.0;  // 1/d^2 = h^2/a^2 + k^2/b^2 + l^2/c^2
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_GE((*line.hkl)[i], 0);
            inverse2 += std::pow((*line.hkl)[i] / abc[i], 2);
        }
        EXPECT_NEAR(inverse2 * line.d * line.d, 1.0, 1e-6) << hklText(*line.hkl);
    }
}

TEST(PowderLines, IcosahedralOrbitsAreWholeAndOfTheAllowedSizes) {
    const PowderRun run = powderRun(icosahedralInputs(6.32, "0"));
    const std::vector<IndexMatrix> group = pointGroup(run.run.basis);
    ASSERT_EQ(group.size(), 120u);
    std::set<IndexVector> present;
    for (const ReflectionRecord& row : run.run.table) present.insert(indicesOf(row, 6));
    std::set<IndexVector> seen;
    std::map<double, int> orbitSum;  // reflections per line, added orbit by orbit
    const std::set<std::size_t> allowed{12, 20, 30, 60, 120};
    int orbits = 0;
    for (const IndexVector& h : present) {
        if (seen.count(h)) continue;
        std::set<IndexVector> orbit;
        for (const IndexMatrix& g : group) orbit.insert(act(g, h));
        ASSERT_TRUE(allowed.count(orbit.size())) << orbit.size();
        for (const IndexVector& k : orbit) {
            ASSERT_TRUE(present.count(k)) << "orbit not whole";
            seen.insert(k);
        }
        ++orbits;
    }
    EXPECT_GT(orbits, 20);
    // Each line holds whole orbits.
    const int total =
        std::accumulate(run.lines.begin(), run.lines.end(), 0,
                        [](int s, const PowderLine& l) { return s + l.multiplicity; });
    EXPECT_EQ(static_cast<std::size_t>(total), present.size());
    for (const PowderLine& line : run.lines) {
        std::set<IndexVector> orbit;
        IndexVector h{};
        std::copy_n(line.indices.begin(), 6, h.begin());
        for (const IndexMatrix& g : group) orbit.insert(act(g, h));
        EXPECT_GE(line.multiplicity, static_cast<int>(orbit.size()));
    }
}

}  // namespace
