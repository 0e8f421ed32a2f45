#include "engine/direction.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tesral;

namespace {

// A decagonal-like basis whose h1 points at `degrees` from the reference direction (1, 0),
// and whose h5 lies on the periodic axis.
LatticeBasis basisAt(double degrees) {
    LatticeBasis b;
    b.n = 5;
    b.inverse = Matrix(5, 5);
    b.inverse(0, 0) = std::cos(degrees * M_PI / 180);
    b.inverse(1, 0) = std::sin(degrees * M_PI / 180);
    b.inverse(4, 4) = 1.0;
    b.referenceDirection = {1.0, 0.0};
    b.symmetryAngle = 36.0f;
    b.halfSymmetryAngle = 18.0f;
    return b;
}

ReflectionRecord row(int h1, int h5) {
    ReflectionRecord r;
    r.v[kH1] = static_cast<float>(h1);
    r.v[kH1 + 4] = static_cast<float>(h5);
    return r;
}

}  // namespace

TEST(ClassifyDirection, DecagonalAngles) {
    struct Case {
        double degrees;
        int expected;
    } cases[] = {{0, 1},     {18, 2},    {36, 1},    {72, 1},    {9, 0},     {0.29, 1}, {0.31, 0},
                 {35.71, 1}, {35.69, 0}, {18.29, 2}, {17.71, 2}, {18.31, 0}, {126, 2},  {180, 1},
                 {-36, 1},   {-18, 2},   {100, 0},   {144, 1},   {162, 2}};
    for (const Case& c : cases) {
        const LatticeBasis b = basisAt(c.degrees);
        EXPECT_EQ(classifyDirection(row(1, 0), b), c.expected) << c.degrees;
        EXPECT_EQ(classifyDirection(row(-1, 3), b), c.expected) << -c.degrees;
    }
}

TEST(ClassifyDirection, PeriodicAxisAndIcosahedral) {
    EXPECT_EQ(classifyDirection(row(0, 1), basisAt(9)), kAlongMain);
    LatticeBasis ico = basisAt(9);
    ico.n = 6;
    EXPECT_EQ(classifyDirection(row(1, 0), ico), kOtherDirection);
}

TEST(ClassifyDirection, RealBasesClassTheFirstBasisVectorAsAlong) {
    for (const auto system : {QuasicrystalSystem::Octagonal, QuasicrystalSystem::Decagonal,
                              QuasicrystalSystem::Dodecagonal})
        for (const auto convention : {MatrixConvention::Yamamoto, MatrixConvention::Steurer}) {
            const auto b = buildLatticeBasis(system, 2.82, 12.06, convention);
            EXPECT_EQ(classifyDirection(row(1, 0), *b), kAlongMain);
            EXPECT_EQ(classifyDirection(row(-1, 0), *b), kAlongMain);
        }
}

TEST(DirectionHelpers, FractionalPartAndAngle) {
    EXPECT_EQ(fractionalPart(2.0), 0.0);
    EXPECT_EQ(fractionalPart(3.0), 1.0);
    EXPECT_EQ(fractionalPart(2.25), 0.25);
    EXPECT_EQ(fractionalPart(-1.25), 0.25);
    EXPECT_EQ(angleFromCosine(1.0), 0.0);
    EXPECT_NEAR(angleFromCosine(0.0), M_PI / 2, 1e-15);
    EXPECT_NEAR(angleFromCosine(0.5), M_PI / 2 + M_PI / 6, 1e-15);
}
