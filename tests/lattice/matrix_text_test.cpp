#include "lattice/matrix_text.h"

#include <gtest/gtest.h>

#include "lattice/fixed_text.h"
#include "lattice/lattice_basis.h"

using namespace tesral;

TEST(MatrixText, OctagonalYamamotoFirstAndLastLines) {
    const auto basis =
        buildLatticeBasis(QuasicrystalSystem::Octagonal, 1.0, 1.0, MatrixConvention::Yamamoto);
    ASSERT_TRUE(basis);
    const std::string text = matrixToText(basis->direct, 5, 5);
    const std::string first = "   0.7071   0.7071  -0.7071   0.7071   0.0000\r\n";
    const std::string last = "   0.0000   0.0000   0.0000   0.0000   1.0000\r\n";
    EXPECT_EQ(text.substr(0, first.size()), first);
    EXPECT_EQ(text.substr(text.size() - last.size()), last);
    EXPECT_EQ(text.size(), 5 * 47u);
    // cos 90 degrees with the approximate pi is about -2e-10: shown without a minus sign.
    EXPECT_EQ(text.find("-0.0000"), std::string::npos);
}

TEST(MatrixText, IcosahedralLinesAreFiftyFourWide) {
    const auto basis =
        buildLatticeBasis(QuasicrystalSystem::Icosahedral, 1.0, 1.0, MatrixConvention::Steurer);
    const std::string text = matrixToText(basis->inverse, 6, 6);
    EXPECT_EQ(text.size(), 6 * 56u);
    EXPECT_EQ(text.find("\r\n"), 54u);
}

TEST(FixedText, FieldsAndNumbers) {
    struct Case {
        std::string got, want;
    } cases[] = {
        {alignRight("ab", 4), "  ab"},
        {alignRight("-123456", 4), "-123"},  // keeps the leftmost characters
        {alignLeft("ab", 4), "ab  "},
        {alignLeft("abcdef", 4), "abcd"},
        {repeatText("-", 3), "---"},
        {repeatText("-", 0), ""},
        {repeatText("-", -2), ""},
        {formatFixed(1234.5, 4), "1234.5000"},
        {formatFixed(-0.00004, 4), "0.0000"},
        {formatFixed(-6.5e-11, 5), "0.00000"},
        {formatFixed(-0.5, 5), "-0.50000"},
        {formatFixed(0.25, 5, ','), "0,25000"},
        {formatFixed(-3.0, 0), "-3"},
        {formatFixed(0.0, 0), "0"},
        {alignRight(formatFixed(12345.678, 4), 9), "12345.678"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(MatrixText, UsedMatricesCarryTheirHeadings) {
    const auto basis =
        buildLatticeBasis(QuasicrystalSystem::Octagonal, 1.0, 1.0, MatrixConvention::Yamamoto);
    ASSERT_TRUE(basis);
    EXPECT_EQ(usedMatricesText(*basis), "Direct Lattice Matrix\r\n" + directMatrixText(*basis) +
                                            "Inverse Matrix\r\n" + inverseMatrixText(*basis));
    EXPECT_EQ(directMatrixText(*basis), matrixToText(basis->direct, 5, 5));
    EXPECT_EQ(inverseMatrixText(*basis), matrixToText(basis->inverse, 5, 5));
}
