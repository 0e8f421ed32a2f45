#pragma once

// Runs and symmetry for the powder tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "engine/generation.h"
#include "physics/intensity.h"
#include "physics/one_site_model.h"
#include "physics/powder_lines.h"

namespace tesral::physics {

inline RunInputs icosahedralInputs(double a6D, const char* typedLimit) {
    RunInputs in;
    in.system = QuasicrystalSystem::Icosahedral;
    in.groupPosition = 0;
    in.a = std::to_string(a6D / std::sqrt(2.0));
    in.loopLimits.fill(typedLimit);
    in.thetaMin = std::string("2.5");
    in.thetaMax = std::string("40");
    in.qiMax = std::string("0.6");
    in.wavelength = std::string("1.5406");
    return in;
}

inline RunInputs decagonalInputs(double a, double c) {
    RunInputs in;
    in.system = QuasicrystalSystem::Decagonal;
    in.groupPosition = 0;
    in.a = std::to_string(a);
    in.c = std::to_string(c);
    in.loopLimits.fill("1");
    in.thetaMin = std::string("5");
    in.thetaMax = std::string("40");
    in.qiMax = std::string("1.0");
    in.wavelength = std::string("1.5406");
    return in;
}

struct PowderRun {
    RunResult run;
    std::vector<PowderLine> lines;
};

/** The inputs widened to whole orbits, run with one Al site, merged into lines (X-rays). */
inline PowderRun powderRun(RunInputs in) {
    std::string error;
    std::optional<RunParameters> p = readRunParameters(in, error);
    EXPECT_TRUE(p) << error;
    EXPECT_EQ(widenToWholeOrbits(*p), "");
    PowderRun out;
    out.run = runPrepared(prepareRun(*p, buildRunHeader(in)));
    EXPECT_EQ(out.run.status, RunStatus::Completed) << out.run.message;
    const char* domain = in.system == QuasicrystalSystem::Icosahedral ? "sphere:6.4" : "disc:3";
    EXPECT_TRUE(fillIntensities(oneSiteModel(in.system, domain), out.run));
    out.lines = powderLines(out.run, LpSettings{});
    return out;
}

struct SplitLengths {
    double parallel = 0.0;       // 1/angstrom
    double perpendicular = 0.0;  // 1/angstrom
};

inline SplitLengths splitLengths(const ReflectionRecord& row, const LatticeBasis& basis) {
    double q[6] = {};
    for (int i = 0; i < basis.n; ++i)
        for (int j = 0; j < basis.n; ++j) q[i] += basis.inverse(i, j) * std::lround(row.h(j));
    const bool ico = basis.n == 6;
    const double p2 =
        ico ? q[0] * q[0] + q[1] * q[1] + q[2] * q[2] : q[0] * q[0] + q[1] * q[1] + q[4] * q[4];
    const double i2 = ico ? q[3] * q[3] + q[4] * q[4] + q[5] * q[5] : q[2] * q[2] + q[3] * q[3];
    return {std::sqrt(p2), std::sqrt(i2)};
}

using IndexVector = std::array<int, 6>;
using IndexMatrix = std::array<std::array<int, 6>, 6>;

inline IndexVector indicesOf(const ReflectionRecord& row, int n) {
    IndexVector h{};
    for (int i = 0; i < n; ++i)
        h[static_cast<std::size_t>(i)] = static_cast<int>(std::lround(row.h(i)));
    return h;
}

inline IndexVector act(const IndexMatrix& g, const IndexVector& h) {
    IndexVector out{};
    for (std::size_t i = 0; i < 6; ++i)
        for (std::size_t j = 0; j < 6; ++j) out[i] += g[i][j] * h[j];
    return out;
}

/**
 * The icosahedral point group on the indices: the signed permutations that keep both the
 * parallel and the perpendicular metric of the reciprocal basis.
 */
inline std::vector<IndexMatrix> pointGroup(const LatticeBasis& basis) {
    double par[6][6] = {}, perp[6][6] = {};
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            for (int k = 0; k < 6; ++k)
                (k < 3 ? par : perp)[i][j] += basis.inverse(k, i) * basis.inverse(k, j);
    std::vector<IndexMatrix> group;
    std::array<int, 6> p{0, 1, 2, 3, 4, 5};
    do {
        for (int signs = 0; signs < 64; ++signs) {
            const auto s = [&](int i) { return (signs >> i & 1) ? -1 : 1; };
            bool keeps = true;
            for (int i = 0; i < 6 && keeps; ++i)
                for (int j = 0; j < 6 && keeps; ++j) {
                    const double f = s(i) * s(j);
                    keeps = std::fabs(f * par[p[i]][p[j]] - par[i][j]) < 1e-6 * par[0][0] &&
                            std::fabs(f * perp[p[i]][p[j]] - perp[i][j]) < 1e-6 * perp[0][0];
                }
            if (!keeps) continue;
            IndexMatrix g{};
            for (int i = 0; i < 6; ++i)
                g[static_cast<std::size_t>(p[i])][static_cast<std::size_t>(i)] = s(i);
            group.push_back(g);
        }
    } while (std::next_permutation(p.begin(), p.end()));
    return group;
}

}  // namespace tesral::physics
