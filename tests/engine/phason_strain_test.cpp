#include "lattice/phason_strain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

#include "engine/generation.h"
#include "engine/zone_section.h"

using namespace tesral;

namespace {

constexpr QuasicrystalSystem kSystems[] = {
    QuasicrystalSystem::Octagonal, QuasicrystalSystem::Decagonal, QuasicrystalSystem::Dodecagonal,
    QuasicrystalSystem::Icosahedral};

RunInputs smallRun(QuasicrystalSystem system, MatrixConvention convention) {
    RunInputs in;
    in.system = system;
    in.convention = convention;
    in.a = "4.1";
    in.c = "7.3";
    in.thetaMin = "0";
    in.thetaMax = "40";
    in.qiMax = "1.5";
    in.loopLimits.fill("2");
    // A group without conditions, so that the box's count below needs no rules.
    for (in.groupPosition = 0; in.groupPosition < 100; ++in.groupPosition) {
        std::string error;
        const auto p = readRunParameters(in, error);
        if (p && p->groupCodes.empty()) break;
    }
    return in;
}

PhasonStrain randomStrain(QuasicrystalSystem system, std::mt19937& random) {
    std::uniform_real_distribution<double> element(-0.05, 0.05);
    PhasonStrain m;
    m.size = phasonStrainSize(system);
    for (int i = 0; i < m.size * m.size; ++i)
        m.values[static_cast<std::size_t>(i)] = element(random);
    return m;
}

struct Strained {
    double x, y, z, qi;
};

/**
 * H|| - M^T H_perp from the unstrained basis matrices, with qi as the report gives it (a
 * |H_perp| except for axial Steurer).
 */
Strained strainedByHand(const LatticeBasis& b, const PhasonStrain& m, const int h[6], double a,
                        bool steurerAxial) {
    double q[6] = {};
    for (int i = 0; i < b.n; ++i)
        for (int j = 0; j < b.n; ++j) q[i] += b.inverse(i, j) * h[j];
    const bool axial = b.n == 5;
    const double par[3] = {q[0], q[1], axial ? q[4] : q[2]};
    const double perp[3] = {axial ? q[2] : q[3], axial ? q[3] : q[4], axial ? 0.0 : q[5]};
    double shifted[3] = {par[0], par[1], par[2]};
    for (int r = 0; r < m.size; ++r)
        for (int k = 0; k < m.size; ++k) shifted[r] -= m.at(k, r) * perp[k];
    const double perpLength = std::sqrt(perp[0] * perp[0] + perp[1] * perp[1] + perp[2] * perp[2]);
    return {shifted[0], shifted[1], shifted[2], steurerAxial ? perpLength : a * perpLength};
}

}  // namespace

// Every kept row sits at H|| - M^T H_perp, qi unchanged, and the rows are exactly the box's
// vectors whose strained Bragg angle passes (an independent count).
TEST(PhasonStrain, PositionsAreShiftedByTheTransposeTimesThePerpendicularPart) {
    std::mt19937 random(25);
    for (QuasicrystalSystem system : kSystems)
        for (MatrixConvention convention :
             {MatrixConvention::Yamamoto, MatrixConvention::Steurer}) {
            SCOPED_TRACE(std::string(systemName(system)) +
                         (convention == MatrixConvention::Yamamoto ? " Yamamoto" : " Steurer"));
            const RunInputs in = smallRun(system, convention);
            std::string error;
            RunParameters p = *readRunParameters(in, error);
            const PhasonStrain m = randomStrain(system, random);
            p.phasonStrain = m;
            const RunResult run = runPrepared(prepareRun(p, buildRunHeader(in)));
            ASSERT_EQ(run.status, RunStatus::Completed) << run.message;
            EXPECT_EQ(run.header.strainText.rfind("phason strain M = [[", 0), 0u);
            const LatticeBasis plain = *buildLatticeBasis(system, p.a, p.c, convention);
            const bool steurerAxial = plain.n == 5 && convention == MatrixConvention::Steurer;
            const double tolerance = 2e-6;
            for (const ReflectionRecord& row : run.table) {
                int h[6] = {};
                for (int i = 0; i < plain.n; ++i) h[i] = static_cast<int>(row.h(i));
                const Strained s = strainedByHand(plain, m, h, p.a, steurerAxial);
                const double qe = std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z);
                EXPECT_NEAR(row.x(), s.x, tolerance);
                EXPECT_NEAR(row.y(), s.y, tolerance);
                EXPECT_NEAR(row.z(), s.z, tolerance);
                EXPECT_NEAR(row.qe(), qe, tolerance);
                EXPECT_NEAR(row.d(), 1.0 / qe, tolerance * row.d());
                EXPECT_NEAR(row.qi(), s.qi, tolerance);
            }
            // The independent count over the whole box.
            std::size_t expected = 0;
            int h[6] = {};
            const int n = plain.n;
            std::array<int, 6> at{};
            at.fill(-2);
            for (bool more = true; more;) {
                bool origin = true;
                for (int i = 0; i < n; ++i) {
                    h[i] = at[i];
                    origin = origin && h[i] == 0;
                }
                if (!origin) {
                    const Strained s = strainedByHand(plain, m, h, p.a, steurerAxial);
                    const double qe = std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z);
                    const double theta = std::asin(p.wavelength * qe / 2.0) * 180.0 / M_PI;
                    if (p.wavelength * qe / 2.0 < 1.0 && theta <= p.thetaMax && s.qi <= p.qiMax)
                        ++expected;
                }
                int k = n - 1;
                while (k >= 0 && at[k] == 2) at[k--] = -2;
                if (k < 0)
                    more = false;
                else
                    ++at[k];
            }
            EXPECT_EQ(run.table.size(), expected);
        }
}

// The zero strain decides the zone plane in floating point as the exact forms decide it
// without one; a real strain keeps only vectors whose strained part lies in the plane.
TEST(PhasonStrain, ZoneSectionsUseTheStrainedPlane) {
    std::mt19937 random(7);
    for (QuasicrystalSystem system : kSystems) {
        SCOPED_TRACE(systemName(system));
        const RunInputs in = smallRun(system, MatrixConvention::Yamamoto);
        std::string error;
        RunParameters p = *readRunParameters(in, error);
        AxisIndices axis{};
        axis[0] = 1;  // a main direction
        const ZoneSection exact =
            computeZoneSection(prepareRun(p, buildRunHeader(in)), {axis, 0.0, std::nullopt});
        PhasonStrain zero;
        zero.size = phasonStrainSize(system);
        p.phasonStrain = zero;
        const ZoneSection floating =
            computeZoneSection(prepareRun(p, buildRunHeader(in)), {axis, 0.0, std::nullopt});
        ASSERT_EQ(exact.run.status, RunStatus::Completed) << exact.run.message;
        ASSERT_EQ(floating.run.status, RunStatus::Completed) << floating.run.message;
        ASSERT_GT(exact.run.table.size(), 2u);
        ASSERT_EQ(floating.run.table.size(), exact.run.table.size());
        for (std::size_t r = 0; r < exact.run.table.size(); ++r)
            for (int i = 0; i < 6; ++i)
                EXPECT_EQ(floating.run.table[r].h(i), exact.run.table[r].h(i));

        p.phasonStrain = randomStrain(system, random);
        const ZoneSection strained =
            computeZoneSection(prepareRun(p, buildRunHeader(in)), {axis, 0.02, std::nullopt});
        ASSERT_EQ(strained.run.status, RunStatus::Completed) << strained.run.message;
        for (std::size_t r = 0; r < strained.run.table.size(); ++r) {
            const ReflectionRecord& row = strained.run.table[r];
            const double offset = row.x() * strained.axis[0] + row.y() * strained.axis[1] +
                                  row.z() * strained.axis[2];
            EXPECT_NEAR(offset, strained.spots[r].nearZone ? strained.spots[r].offset : 0.0, 1e-6);
            EXPECT_LE(std::fabs(strained.spots[r].offset), 0.02);
        }
    }
}
