#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "physics/lattice_refinement.h"
#include "physics/measured_pattern.h"
#include "physics/powder_profile.h"
#include "powder_support.h"

using namespace tesral;
using namespace tesral::physics;

namespace {

/** A pattern of the run's lines moved by `zero`, with Gaussian noise of 1 % of its maximum. */
MeasuredData synthetic(const std::vector<PowderLine>& lines, double zero, TwoThetaGrid grid) {
    std::vector<PowderLine> moved = lines;
    for (PowderLine& l : moved) l.twoTheta += zero;
    MeasuredData data;
    data.intensity = powderProfile(moved, grid, ProfileShape{});
    std::mt19937 random(17);
    std::normal_distribution<double> noise(0.0, 1.0);
    for (std::size_t i = 0; i < grid.size(); ++i) {
        data.twoTheta.push_back(grid.at(i));
        data.intensity[i] += noise(random);
    }
    return data;
}

TEST(LatticeRefinement, RecoversTheIcosahedralConstantAndZeroShift) {
    const PowderRun truth = powderRun(icosahedralInputs(6.32, "1"));
    const MeasuredData measured = synthetic(truth.lines, 0.05, {10.0, 80.0, 0.01});
    const PowderRun start = powderRun(icosahedralInputs(6.30, "1"));
    const LineLattice lattice{1.5406, start.run.parameters.a, 0.0, false};
    const Refinement r = refineLattice(start.lines, findPeaks(measured), lattice);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_GE(r.matches.size(), 10u);
    EXPECT_NEAR(r.a * std::sqrt(2.0), 6.32, 0.001);
    EXPECT_NEAR(r.zero, 0.05, 0.005);
    EXPECT_TRUE(r.hasSigmas);
    EXPECT_GT(r.aSigma, 0.0);
    EXPECT_LT(r.meanAbsoluteDelta, 0.01);
}

TEST(LatticeRefinement, RecoversTheDecagonalConstantsAndZeroShift) {
    const PowderRun truth = powderRun(decagonalInputs(2.82, 12.06));
    const MeasuredData measured = synthetic(truth.lines, 0.05, {10.0, 80.0, 0.01});
    const PowderRun start = powderRun(decagonalInputs(2.815, 12.08));
    const LineLattice lattice{1.5406, 2.815, 12.08, true};
    const Refinement r = refineLattice(start.lines, findPeaks(measured), lattice);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_NEAR(r.a, 2.82, 0.001);
    EXPECT_NEAR(r.c, 12.06, 0.001);
    EXPECT_NEAR(r.zero, 0.05, 0.005);
}

TEST(LatticeRefinement, RefusesFewerPeaksThanParameters) {
    const PowderRun start = powderRun(decagonalInputs(2.82, 12.06));
    const LineLattice lattice{1.5406, 2.82, 12.06, true};
    const std::vector<Peak> two{{start.lines[0].twoTheta, 1.0}, {start.lines[1].twoTheta, 1.0}};
    const Refinement r = refineLattice(start.lines, two, lattice, {0.15, 0.0, true});
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.message.find("fewer than the 3 refined parameters"), std::string::npos)
        << r.message;
    EXPECT_TRUE(r.matches.empty());
}

TEST(LatticeRefinement, FindsTheConstantsFromAStartAFewPercentOff) {
    const PowderRun ico = powderRun(icosahedralInputs(6.32, "1"));
    const std::vector<Peak> icoPeaks = findPeaks(synthetic(ico.lines, 0.05, {10.0, 80.0, 0.01}));
    for (double start : {0.985, 1.004, 1.025}) {
        const PowderRun run = powderRun(icosahedralInputs(6.32 * start, "1"));
        const LineLattice lattice{1.5406, run.run.parameters.a, 0.0, false};
        const Refinement r = refineLattice(run.lines, icoPeaks, lattice);
        ASSERT_TRUE(r.usable()) << start << ": " << r.message << r.warning;
        EXPECT_NEAR(r.a * std::sqrt(2.0), 6.32, 0.001) << start;
        EXPECT_NEAR(r.zero, 0.05, 0.005) << start;
    }
    const PowderRun deca = powderRun(decagonalInputs(2.82, 12.06));
    const std::vector<Peak> decaPeaks = findPeaks(synthetic(deca.lines, 0.05, {10.0, 80.0, 0.01}));
    const PowderRun run = powderRun(decagonalInputs(2.82 * 1.015, 12.06 * 0.985));
    const LineLattice lattice{1.5406, 2.82 * 1.015, 12.06 * 0.985, true};
    const Refinement r = refineLattice(run.lines, decaPeaks, lattice);
    ASSERT_TRUE(r.usable()) << r.message << r.warning;
    EXPECT_NEAR(r.a, 2.82, 0.001);
    EXPECT_NEAR(r.c, 12.06, 0.001);
    EXPECT_EQ(r.values.name(1), "c");
    EXPECT_EQ(r.sigmas[1], r.cSigma);
}

TEST(LatticeRefinement, FlagsFitsThatAreNoResult) {
    const PowderRun truth = powderRun(icosahedralInputs(6.32, "1"));
    const std::vector<Peak> peaks = findPeaks(synthetic(truth.lines, 0.05, {10.0, 80.0, 0.01}));
    const LineLattice cu{1.5406, truth.run.parameters.a, 0.0, false};
    RunInputs moInputs = icosahedralInputs(6.32, "2");
    moInputs.wavelength = "0.7107";
    const PowderRun mo = powderRun(moInputs);
    const struct {
        const char* what;
        const std::vector<PowderLine>& lines;
        LineLattice lattice;
        std::vector<Peak> peaks;
        const char* warning;
    } cases[] = {
        {"Mo against Cu peaks",
         mo.lines,
         {0.7107, cu.a, 0.0, false},
         peaks,
         "the wavelength (0.7107 A)"},
        {"three peaks, two parameters",
         truth.lines,
         cu,
         {peaks.begin(), peaks.begin() + 3},
         "too few"},
    };
    for (const auto& c : cases) {
        const Refinement r = refineLattice(c.lines, c.peaks, c.lattice);
        EXPECT_TRUE(r.ok()) << c.what << ": " << r.message;
        EXPECT_FALSE(r.usable()) << c.what;
        EXPECT_NE(r.warning.find(c.warning), std::string::npos) << c.what << ": " << r.warning;
    }
    EXPECT_TRUE(refineLattice(truth.lines, peaks, cu).usable());
}

}  // namespace
