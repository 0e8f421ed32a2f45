#include "lattice/lattice_basis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace tesral;

namespace {

constexpr auto Y = MatrixConvention::Yamamoto;
constexpr auto S = MatrixConvention::Steurer;
constexpr auto Oct = QuasicrystalSystem::Octagonal;
constexpr auto Dec = QuasicrystalSystem::Decagonal;
constexpr auto Dod = QuasicrystalSystem::Dodecagonal;
constexpr auto Ico = QuasicrystalSystem::Icosahedral;

struct BasisCase {
    QuasicrystalSystem system;
    MatrixConvention convention;
    std::vector<double> directRow;      // row k of Direct, a = c = 1
    std::vector<double> inverseColumn;  // column k of Inverse
};

// k = 1 for the axial systems, k = 2 for the icosahedral one (its k = 1 is trivial).
const BasisCase kCases[] = {
    {Oct, Y, {0.7071, 0.7071, -0.7071, 0.7071, 0}, {0.3536, 0.3536, -0.3536, 0.3536, 0}},
    {Dec, Y, {-0.6180, 0.8507, -1.6180, 0.5257, 0}, {0.1382, 0.4253, -0.3618, 0.2629, 0}},
    {Dod, Y, {1.0000, -0.5774, 1.0000, 0.5774, 0}, {0.5000, 0, 0.5000, 0, 0}},
    {Ico,
     Y,
     {-0.7236, 0.5257, 0.4472, 0.2764, -0.8507, -0.4472},
     {-0.3618, 0.2629, 0.2236, 0.1382, -0.4253, -0.2236}},
    {Oct, S, {0.3536, 0.3536, -0.3536, 0.3536, 0}, {0.7071, 0.7071, -0.7071, 0.7071, 0}},
    {Dec, S, {-0.2764, 0.3804, -0.7236, -0.2351, 0}, {0.3090, 0.9511, -0.8090, -0.5878, 0}},
    {Dod, S, {0.5774, 0, -0.5774, 0, 0}, {0.8660, 0.5000, -0.8660, 0.5000, 0}},
    {Ico,
     S,
     {-0.3618, 0.2629, 0.2236, -0.1382, -0.4253, -0.2236},
     {-0.7236, 0.5257, 0.4472, -0.2764, -0.8507, -0.4472}},
};

class BasisTable : public ::testing::TestWithParam<BasisCase> {};

}  // namespace

TEST_P(BasisTable, FirstVectorsAndIdentity) {
    const BasisCase& c = GetParam();
    const auto basis = buildLatticeBasis(c.system, 1.0, 1.0, c.convention);
    ASSERT_TRUE(basis);
    const int n = basis->n;
    ASSERT_EQ(n, static_cast<int>(c.directRow.size()));
    const int k = c.system == Ico ? 1 : 0;
    for (int j = 0; j < n; ++j) {
        EXPECT_NEAR(basis->direct(k, j), c.directRow[j], 5e-5) << "Direct col " << j;
        EXPECT_NEAR(basis->inverse(j, k), c.inverseColumn[j], 5e-5) << "Inverse row " << j;
    }
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double sum = 0;
            for (int m = 0; m < n; ++m) sum += basis->direct(i, m) * basis->inverse(m, j);
            EXPECT_NEAR(sum, i == j ? 1.0 : 0.0, 1e-12);
        }
}

INSTANTIATE_TEST_SUITE_P(AllSystems, BasisTable, ::testing::ValuesIn(kCases));

TEST(LatticeBasis, ReferenceDirectionsAndAngles) {
    struct Case {
        QuasicrystalSystem system;
        MatrixConvention convention;
        double degrees;
        float symmetry, half;
    } cases[] = {{Oct, Y, 45, 45, 22.5f}, {Dec, Y, 72, 36, 18}, {Dod, Y, 0, 30, 15},
                 {Oct, S, 45, 45, 22.5f}, {Dec, S, 72, 36, 18}, {Dod, S, 30, 30, 15}};
    for (const Case& c : cases) {
        const auto basis = buildLatticeBasis(c.system, 1.0, 1.0, c.convention);
        ASSERT_TRUE(basis);
        const double angle =
            std::atan2(basis->referenceDirection[1], basis->referenceDirection[0]) * 180 / M_PI;
        EXPECT_NEAR(angle, c.degrees, 1e-6);
        EXPECT_EQ(basis->symmetryAngle, c.symmetry);
        EXPECT_EQ(basis->halfSymmetryAngle, c.half);
    }
    const auto ico = buildLatticeBasis(Ico, 1.0, 1.0, Y);
    ASSERT_TRUE(ico);
    EXPECT_EQ(ico->referenceDirection[0], 0.0);
    EXPECT_EQ(ico->referenceDirection[1], 0.0);
}

TEST(LatticeBasis, COnlyInElementFourFour) {
    for (const auto convention : {Y, S})
        for (const auto system : {Oct, Dec, Dod}) {
            const auto one = buildLatticeBasis(system, 2.82, 1.0, convention);
            const auto other = buildLatticeBasis(system, 2.82, 12.06, convention);
            ASSERT_TRUE(one && other);
            EXPECT_NEAR(other->direct(4, 4), 12.06, 1e-12);
            EXPECT_NEAR(other->inverse(4, 4), 1 / 12.06, 1e-15);
            for (int i = 0; i < 5; ++i)
                for (int j = 0; j < 5; ++j) {
                    if (i == 4 && j == 4) continue;
                    if (i == 4 || j == 4) {
                        EXPECT_EQ(other->direct(i, j), 0.0);
                    }
                    EXPECT_NEAR(other->direct(i, j), one->direct(i, j), 1e-12);
                    EXPECT_NEAR(other->inverse(i, j), one->inverse(i, j), 1e-12);
                }
        }
}

TEST(LatticeBasis, DoublingAScalesTheRowsThatCarryIt) {
    for (const auto convention : {Y, S})
        for (const auto system : {Oct, Dec, Dod, Ico}) {
            const auto one = buildLatticeBasis(system, 1.5, 4.0, convention);
            const auto two = buildLatticeBasis(system, 3.0, 4.0, convention);
            ASSERT_TRUE(one && two);
            const int n = one->n;
            const int carried = system == Ico ? 6 : 4;
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) {
                    const double f = i < carried ? 2.0 : 1.0;
                    EXPECT_NEAR(two->direct(i, j), f * one->direct(i, j), 1e-12);
                    EXPECT_NEAR(two->inverse(j, i), one->inverse(j, i) / f, 1e-12);
                }
        }
}

TEST(LatticeBasis, IcosahedralIgnoresC) {
    const auto withC = buildLatticeBasis(Ico, 5.0, 7.0, Y);
    const auto zeroC = buildLatticeBasis(Ico, 5.0, 0.0, Y);
    ASSERT_TRUE(withC && zeroC);
    EXPECT_EQ(zeroC->n, 6);
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) EXPECT_EQ(withC->inverse(i, j), zeroC->inverse(i, j));
}

TEST(LatticeBasis, RefusesDegenerateConstants) {
    const double bad[] = {0.0, INFINITY, -INFINITY, NAN};
    for (const double v : bad)
        for (const auto convention : {Y, S}) {
            EXPECT_FALSE(buildLatticeBasis(Dec, v, 12.06, convention));
            EXPECT_FALSE(buildLatticeBasis(Dec, 2.82, v, convention));
            EXPECT_FALSE(buildLatticeBasis(Ico, v, 1.0, convention));
        }
    // Negative constants are accepted; they flip the signs of the rows.
    EXPECT_TRUE(buildLatticeBasis(Oct, -2.0, -3.0, Y));
}
