#include "lattice/approximant.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/approximant_cell.h"
#include "engine/generation.h"
#include "engine/run_input_names.h"

using namespace tesral;

namespace {

constexpr auto Ico = QuasicrystalSystem::Icosahedral;

RunParameters smallRun(QuasicrystalSystem system, MatrixConvention convention, double a) {
    RunInputs in;
    in.system = system;
    in.convention = convention;
    in.a = std::to_string(a);
    in.c = std::string("4.1");
    in.thetaMin = std::string("0");
    in.thetaMax = std::string("40");
    in.qiMax = std::string("1.5");
    in.loopLimits.fill("2");
    std::string error;
    for (in.groupPosition = 0; in.groupPosition < 100; ++in.groupPosition) {
        const auto p = readRunParameters(in, error);
        if (p && p->groupCodes.empty()) return *p;
    }
    ADD_FAILURE() << "no group without conditions";
    return {};
}

/** a such that the direct basis vectors are a6D long (the hypercubic edge). */
double aFor6D(MatrixConvention convention, double a6D) {
    const LatticeBasis unit = *buildLatticeBasis(Ico, 1.0, 1.0, convention);
    double length = 0.0;
    for (int j = 0; j < 6; ++j) length += unit.direct(0, j) * unit.direct(0, j);
    return a6D / std::sqrt(length);
}

struct Case {
    QuasicrystalSystem system;
    const char* text;
};

const Case kCases[] = {
    {Ico, "1/1"},
    {Ico, "2/1"},
    {Ico, "5/3"},
    {QuasicrystalSystem::Decagonal, "1/1"},
    {QuasicrystalSystem::Decagonal, "2/1,3/2"},
    {QuasicrystalSystem::Octagonal, "1/1"},
    {QuasicrystalSystem::Octagonal, "3/2,7/5"},
    {QuasicrystalSystem::Dodecagonal, "2/1"},
    {QuasicrystalSystem::Dodecagonal, "5/3,7/4"},
};

}  // namespace

// Every reflection of a strained run lies on the cell's lattice: its hkl from the index
// matrix is H_par' in cell coordinates, and a^2 |H_par'|^2 is the integer h^2 + k^2 + l^2
// (the orthorhombic form h^2/a^2 + k^2/b^2 + l^2/c^2 for the axial cells).
TEST(Approximant, EveryReflectionLiesOnTheCellLattice) {
    for (const Case& c : kCases)
        for (MatrixConvention convention :
             {MatrixConvention::Yamamoto, MatrixConvention::Steurer}) {
            SCOPED_TRACE(std::string(systemName(c.system)) + " " + c.text +
                         (convention == MatrixConvention::Yamamoto ? " Yamamoto" : " Steurer"));
            std::string error;
            const auto approximant = parseApproximant(c.text, c.system, error);
            ASSERT_TRUE(approximant) << error;
            RunParameters p = smallRun(c.system, convention, 4.3);
            const LatticeBasis plain = *buildLatticeBasis(c.system, p.a, p.c, convention);
            p.phasonStrain = approximantStrain(plain, *approximant);
            const ApproximantCell cell = approximantCell(plain, *approximant);
            EXPECT_EQ(cell.cubic, c.system == Ico);
            const RunResult run = runPrepared(prepareRun(p, RunHeader{}));
            ASSERT_EQ(run.status, RunStatus::Completed) << run.message;
            ASSERT_GT(run.table.size(), 100u);
            for (const ReflectionRecord& row : run.table) {
                const double h[3] = {row.x(), row.y(), row.z()};
                double fromMatrix[3] = {};
                double sum = 0.0;
                for (int i = 0; i < 3; ++i) {
                    double projected = 0.0;
                    for (int r = 0; r < 3; ++r) projected += h[r] * cell.vectors[i][r];
                    for (int j = 0; j < cell.n; ++j)
                        fromMatrix[i] += cell.indexMatrix[i][j] * row.h(j);
                    EXPECT_NEAR(projected, fromMatrix[i], 2e-4 * (1.0 + std::abs(projected)));
                    sum += fromMatrix[i] * fromMatrix[i] / (cell.constants[i] * cell.constants[i]);
                }
                const double q2 = h[0] * h[0] + h[1] * h[1] + h[2] * h[2];
                EXPECT_NEAR(q2, sum, 1e-5 * q2 + 1e-12);
                if (cell.cubic) {
                    const double n = cell.constants[0] * cell.constants[0] * q2;
                    EXPECT_NEAR(n, std::round(n), 2e-3 * (1.0 + n));
                }
            }
        }
}

// a6D = 6.32 A gives the 1/1 and 2/1 cubic constants 12.30 and 19.91 A (19.905 exactly);
// the primitive lattice's strain is isotropic, |eps| = tau^-3 and tau^-5.
TEST(Approximant, IcosahedralCubicConstantsAndIsotropicStrain) {
    const double tau = (1.0 + std::sqrt(5.0)) / 2.0;
    const struct {
        const char* text;
        double ac;
        double epsilon;
    } cases[] = {{"1/1", 12.30, std::pow(tau, -3)}, {"2/1", 19.91, std::pow(tau, -5)}};
    for (MatrixConvention convention : {MatrixConvention::Yamamoto, MatrixConvention::Steurer})
        for (const auto& c : cases) {
            std::string error;
            const Approximant approximant = *parseApproximant(c.text, Ico, error);
            const LatticeBasis basis =
                *buildLatticeBasis(Ico, aFor6D(convention, 6.32), 0.0, convention);
            const ApproximantCell cell = approximantCell(basis, approximant);
            EXPECT_NEAR(cell.constants[0], c.ac, 0.01) << c.text;
            // M M^T = eps^2 I: an orthogonal map times eps.
            const PhasonStrain m = approximantStrain(basis, approximant);
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j) {
                    double mm = 0.0;
                    for (int k = 0; k < 3; ++k) mm += m.at(i, k) * m.at(j, k);
                    EXPECT_NEAR(mm, i == j ? c.epsilon * c.epsilon : 0.0, 1e-9) << c.text;
                }
        }
}

TEST(Approximant, ParsesAndRefusesTexts) {
    std::string error;
    const auto axial = parseApproximant("2/1,3/2", QuasicrystalSystem::Decagonal, error);
    ASSERT_TRUE(axial);
    EXPECT_EQ(approximantText(*axial), "2/1,3/2");
    EXPECT_EQ(approximantText(*parseApproximant("8/5", Ico, error)), "8/5");
    for (const char* bad : {"2/3", "1/1,2/1", "1", "0/1", "x/1", ""}) {
        error.clear();
        EXPECT_FALSE(parseApproximant(bad, Ico, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
    for (const char* bad : {"1/0", "1/1,", "1/1,2", "-1/2", "1/2/3"})
        EXPECT_FALSE(parseApproximant(bad, QuasicrystalSystem::Octagonal, error)) << bad;
}

// A centred lattice has fewer reflections: on the F lattice of a6D = 12.64 A (the primitive
// one of 6.32 A with the face centring's points) the 1/1 cell is the 12.30 A one, not 24.60,
// and every reflection the group lets through has integral hkl on it.
TEST(Approximant, CentredLatticesGiveTheirOwnCell) {
    const struct {
        const char* group;
        double a6D, ac;
    } cases[] = {{"Fm-3-5", 12.64, 12.30}, {"Im-3-5", 6.32, 12.30}, {"Pm-3-5", 6.32, 12.30}};
    for (MatrixConvention convention : {MatrixConvention::Yamamoto, MatrixConvention::Steurer})
        for (const auto& c : cases) {
            SCOPED_TRACE(c.group);
            std::string error;
            RunInputs in;
            in.system = Ico;
            in.convention = convention;
            in.a = std::to_string(aFor6D(convention, c.a6D));
            in.thetaMax = std::string("25");
            in.qiMax = std::string("1.5");
            in.loopLimits.fill("2");
            in.groupPosition = *groupPositionNamed(Ico, c.group);
            in.approximant = "1/1";
            const auto p = readRunParameters(in, error);
            ASSERT_TRUE(p) << error;
            const ApproximantCell cell = *runApproximantCell(*p);
            EXPECT_NEAR(cell.constants[0], c.ac, 0.01);
            const RunResult run = runPrepared(prepareRun(*p, RunHeader{}));
            ASSERT_GT(run.table.size(), 40u);
            int odd = 0;
            for (const ReflectionRecord& row : run.table) {
                std::array<int, 6> h{};
                for (int j = 0; j < 6; ++j) h[j] = static_cast<int>(row.h(j));
                const std::array<int, 3> hkl = cellIndicesOf(cell, h);
                const double q2 = row.x() * row.x() + row.y() * row.y() + row.z() * row.z();
                EXPECT_NEAR(cell.constants[0] * cell.constants[0] * q2,
                            hkl[0] * hkl[0] + hkl[1] * hkl[1] + hkl[2] * hkl[2], 1e-3);
                odd += (hkl[0] | hkl[1] | hkl[2]) & 1;
            }
            // The cell is the smallest: some reflection has an odd index.
            EXPECT_GT(odd, 0);
        }
}
