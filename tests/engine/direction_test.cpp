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
    using enum DirectionClass;
    struct Case {
        double degrees;
        DirectionClass expected;
    } cases[] = {{0, AlongMain},     {18, BetweenMain},    {36, AlongMain},      {72, AlongMain},
                 {9, Other},         {0.29, AlongMain},    {0.31, Other},        {35.71, AlongMain},
                 {35.69, Other},     {18.29, BetweenMain}, {17.71, BetweenMain}, {18.31, Other},
                 {126, BetweenMain}, {180, AlongMain},     {-36, AlongMain},     {-18, BetweenMain},
                 {100, Other},       {144, AlongMain},     {162, BetweenMain}};
    for (const Case& c : cases) {
        const LatticeBasis b = basisAt(c.degrees);
        EXPECT_EQ(classifyDirection(row(1, 0), b), c.expected) << c.degrees;
        EXPECT_EQ(classifyDirection(row(-1, 3), b), c.expected) << -c.degrees;
    }
}

TEST(ClassifyDirection, PeriodicAxisAndIcosahedral) {
    EXPECT_EQ(classifyDirection(row(0, 1), basisAt(9)), DirectionClass::AlongMain);
    LatticeBasis ico = basisAt(9);
    ico.n = 6;
    EXPECT_EQ(classifyDirection(row(1, 0), ico), DirectionClass::Other);
}

TEST(ClassifyDirection, RealBasesClassTheFirstBasisVectorAsAlong) {
    for (const auto system : {QuasicrystalSystem::Octagonal, QuasicrystalSystem::Decagonal,
                              QuasicrystalSystem::Dodecagonal})
        for (const auto convention : {MatrixConvention::Yamamoto, MatrixConvention::Steurer}) {
            const auto b = buildLatticeBasis(system, 2.82, 12.06, convention);
            EXPECT_EQ(classifyDirection(row(1, 0), *b), DirectionClass::AlongMain);
            EXPECT_EQ(classifyDirection(row(-1, 0), *b), DirectionClass::AlongMain);
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
