#include "engine/geometry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tesral;

namespace {

GeometryContext context(int n, bool yamamoto, double a, double wavelength, double thetaMin,
                        double thetaMax, double qiMax) {
    RunParameters p;
    p.a = a;
    p.convention = yamamoto ? MatrixConvention::Yamamoto : MatrixConvention::Steurer;
    p.wavelength = wavelength;
    p.thetaMin = thetaMin;
    p.thetaMax = thetaMax;
    p.qiMax = qiMax;
    const auto system = n == 6 ? QuasicrystalSystem::Icosahedral : QuasicrystalSystem::Decagonal;
    return GeometryContext(*buildLatticeBasis(system, 1.0, 1.0, p.convention), p);
}

}  // namespace

TEST(ArcSine, LimitingSphereReturnsSinglePrecisionAngles) {
    EXPECT_EQ(arcSine(1.5), 1.5707963705062866);
    EXPECT_EQ(arcSine(1.0), 1.5707963705062866);
    EXPECT_EQ(arcSine(-1.0), 4.71238911151886);
    EXPECT_EQ(arcSine(-3.0), 4.71238911151886);
    EXPECT_NEAR(arcSine(0.5), M_PI / 6, 1e-15);
}

TEST(EvaluateProjection, ThetaWindowEdges) {
    // qe = 1 and wavelength 1 give s = 0.5: theta = 29.999999999902535.
    const double q[6] = {1, 0, 0, 0, 0, 0};
    auto g = context(5, false, 1, 1.0, 1.0, 30.0, 1.0);
    Evaluation e = evaluateProjection(q, g);
    EXPECT_EQ(e.theta, 29.999999999902535);
    EXPECT_TRUE(e.accepted);
    EXPECT_EQ(e.d, 1.0);

    g.thetaMin = e.theta;  // theta exactly at the minimum is kept
    EXPECT_TRUE(evaluateProjection(q, g).accepted);
    g.thetaMin = std::nextafter(e.theta, 90.0);
    EXPECT_FALSE(evaluateProjection(q, g).accepted);

    // Beyond the limiting sphere (s = 1.5): theta 90.0000025, kept only up to 180.
    const double far[6] = {3, 0, 0, 0, 0, 0};
    g = context(5, false, 1, 1.0, 1.0, 90.0, 1.0);
    EXPECT_FALSE(evaluateProjection(far, g).accepted);
    g.thetaMax = 180.0;
    e = evaluateProjection(far, g);
    EXPECT_TRUE(e.accepted);
    EXPECT_NEAR(e.theta, 90.0000025, 1e-6);
    EXPECT_LT(e.d, 0.5);

    // Wavelength 0: theta 0, refused by theta > 0 even with a zero minimum.
    g = context(5, false, 1, 0.0, 0.0, 30.0, 1.0);
    EXPECT_FALSE(evaluateProjection(q, g).accepted);
}

TEST(EvaluateProjection, PerpendicularLengthAndLimit) {
    // Axial order: par x, par y, perp x, perp y, par z.
    const double q[6] = {0.3, 0.0, 1.0, 0.0, 0.4, 0};
    auto steurer = context(5, false, 2.82, 0.7, 0.0, 90.0, 1.0);
    Evaluation e = evaluateProjection(q, steurer);
    EXPECT_EQ(e.qi, 1.0);
    EXPECT_TRUE(e.accepted);  // qi exactly at the maximum is kept
    EXPECT_NEAR(e.qe, 0.5, 1e-15);
    EXPECT_EQ(e.x, 0.3);
    EXPECT_EQ(e.z, 0.4);
    steurer.qiMax = std::nextafter(1.0, 0.0);
    EXPECT_FALSE(evaluateProjection(q, steurer).accepted);

    auto yamamoto = context(5, true, 2.82, 0.7, 0.0, 90.0, 100.0);
    const double qi1 = evaluateProjection(q, yamamoto).qi;
    yamamoto.a = 5.64;
    EXPECT_DOUBLE_EQ(evaluateProjection(q, yamamoto).qi, 2 * qi1);
    EXPECT_DOUBLE_EQ(qi1, 2.82);

    // Icosahedral: par x, y, z then perp x, y, z, scaled by a in both conventions.
    const double q6[6] = {0.1, 0.2, 0.2, 0.0, 0.3, 0.4};
    const auto ico = context(6, false, 2.0, 0.7, 0.0, 90.0, 100.0);
    e = evaluateProjection(q6, ico);
    EXPECT_NEAR(e.qe, 0.3, 1e-15);
    EXPECT_NEAR(e.qi, 1.0, 1e-15);
    EXPECT_EQ(e.z, 0.2);
}

TEST(EvaluateProjection, ZeroParallelLengthIsRefusedAndOverflowIsFlagged) {
    const double perpOnly[6] = {0, 0, 0.5, 0.5, 0, 0};
    const auto g = context(5, true, 2.82, 0.7, 0.0, 180.0, 100.0);
    Evaluation e = evaluateProjection(perpOnly, g);
    EXPECT_EQ(e.qe, 0.0);
    EXPECT_FALSE(e.accepted);
    EXPECT_TRUE(e.finite);

    const double huge[6] = {1e300, 0, 0, 0, 0, 0};
    e = evaluateProjection(huge, g);
    EXPECT_FALSE(e.finite);
}

TEST(EvaluateIndexVector, ProjectsThroughTheInverse) {
    RunParameters p;
    p.a = 2.82;
    p.wavelength = 0.7106867;
    p.thetaMin = 1.0;
    p.thetaMax = 30.0;
    p.qiMax = 1.0;
    const auto basis = buildLatticeBasis(QuasicrystalSystem::Decagonal, 2.82, 12.06, p.convention);
    const GeometryContext g(*basis, p);
    const int h[6] = {0, 0, 0, 0, 1, 0};  // along the periodic axis: qe = 1/c
    const Evaluation e = evaluateIndexVector(h, g);
    EXPECT_DOUBLE_EQ(e.qe, 1 / 12.06);
    EXPECT_EQ(e.qi, 0.0);
    EXPECT_TRUE(e.accepted);
}
