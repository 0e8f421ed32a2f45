#include "lattice/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace tesral;

namespace {

Matrix identity(int n) {
    Matrix m(n, n);
    for (int i = 0; i < n; ++i) m(i, i) = 1.0;
    return m;
}

Matrix product(const Matrix& a, const Matrix& b, int n) {
    Matrix p(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < n; ++k) p(i, j) += a(i, k) * b(k, j);
    return p;
}

}  // namespace

TEST(InvertMatrix, IdentityStaysIdentity) {
    Matrix m = identity(6);
    ASSERT_EQ(invertMatrix(m, 6), InversionStatus::Ok);
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) EXPECT_EQ(m(i, j), i == j ? 1.0 : 0.0);
}

TEST(InvertMatrix, PermutationComesBackTransposedAndSolvesRhs) {
    Matrix p(5, 5);
    p(0, 1) = p(1, 2) = p(2, 0) = p(3, 4) = p(4, 3) = 1.0;
    Matrix m = p;
    std::vector<double> b{1, 2, 3, 4, 5};
    ASSERT_EQ(invertMatrix(m, 5, b, true), InversionStatus::Ok);
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) EXPECT_EQ(m(i, j), p(j, i)) << i << "," << j;
    EXPECT_EQ(b, (std::vector<double>{3, 1, 2, 5, 4}));
}

TEST(InvertMatrix, RhsUntouchedWithoutSolve) {
    Matrix m(2, 2);
    m(0, 0) = 2;
    m(0, 1) = 1;
    m(1, 0) = 1;
    m(1, 1) = 3;
    std::vector<double> b{7, 8};
    ASSERT_EQ(invertMatrix(m, 2, b, false), InversionStatus::Ok);
    EXPECT_EQ(b, (std::vector<double>{7, 8}));
    // inverse of [[2,1],[1,3]] is [[3,-1],[-1,2]]/5
    EXPECT_NEAR(m(0, 0), 0.6, 1e-15);
    EXPECT_NEAR(m(0, 1), -0.2, 1e-15);
    EXPECT_NEAR(m(1, 1), 0.4, 1e-15);
}

TEST(InvertMatrix, PivotsOfEqualMagnitudeKeepSmallInversesExact) {
    // Every element of magnitude 1 or 2: whichever pivot is taken, the elimination is exact.
    struct Case {
        double m[4], inverse[4];
    };
    for (const Case& c :
         {Case{{1, 1, 1, -1}, {0.5, 0.5, 0.5, -0.5}}, Case{{0, 2, 2, 0}, {0, 0.5, 0.5, 0}}}) {
        Matrix m(2, 2);
        for (int i = 0; i < 4; ++i) m(i / 2, i % 2) = c.m[i];
        ASSERT_EQ(invertMatrix(m, 2), InversionStatus::Ok);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(m(i / 2, i % 2), c.inverse[i]) << i;
    }
}

TEST(InvertMatrix, ReportsFailuresInsteadOfDividing) {
    Matrix singular(3, 3);
    singular(0, 0) = 1;
    singular(1, 1) = 1;  // row 2 all zero
    std::vector<double> b{1, 2, 3};
    EXPECT_EQ(invertMatrix(singular, 3, b, true), InversionStatus::ZeroPivot);
    EXPECT_EQ(singular(0, 0), 1.0);  // left as it was
    EXPECT_EQ(b, (std::vector<double>{1, 2, 3}));

    Matrix nan = identity(3);
    nan(0, 0) = nan(0, 1) = nan(0, 2) = nan(1, 0) = nan(1, 1) = nan(1, 2) = NAN;
    nan(2, 0) = nan(2, 1) = nan(2, 2) = NAN;
    EXPECT_NE(invertMatrix(nan, 3), InversionStatus::Ok);
}

TEST(InvertMatrix, ProductWithInverseIsIdentity) {
    Matrix m(4, 4);
    const double values[16] = {4, -2, 1, 3, 0.5, 7, -1, 2, 3, 3, 9, -4, 1, 0, 2, 6};
    for (int i = 0; i < 16; ++i) m(i / 4, i % 4) = values[i];
    Matrix inv = m;
    ASSERT_EQ(invertMatrix(inv, 4), InversionStatus::Ok);
    const Matrix p = product(m, inv, 4);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(p(i, j), i == j ? 1.0 : 0.0, 1e-14);
}

TEST(CopyAndTranspose, RecreateTheDestination) {
    Matrix s(3, 3);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) s(i, j) = 10 * i + j;
    Matrix d(6, 6);
    d(5, 5) = 99;
    transposeMatrix(s, 3, 3, d);
    ASSERT_EQ(d.rows(), 3);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_EQ(d(i, j), s(j, i));
    copyMatrix(s, 2, 3, d);
    ASSERT_EQ(d.rows(), 2);
    EXPECT_EQ(d(1, 2), 12);
}
