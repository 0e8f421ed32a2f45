#include "physics/intensity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "physics/domain_transform.h"
#include "physics/row_projection.h"
#include "physics/scattering_factor.h"
#include "physics/structure_factor.h"

using namespace tesral;
using namespace tesral::physics;

namespace {

RunResult wideRun(QuasicrystalSystem system, const char* limit,
                  MatrixConvention convention = MatrixConvention::Yamamoto) {
    RunInputs in;
    in.system = system;
    in.convention = convention;
    in.groupPosition = 0;  // primitive, no reflection conditions
    in.a = system == QuasicrystalSystem::Icosahedral ? "4.56084" : "2.82";
    in.loopLimits.fill(limit);
    in.thetaMax = "90";
    in.qiMax = "1E9";
    RunResult run = runGeneration(in);
    EXPECT_EQ(run.status, RunStatus::Completed);
    return run;
}

Site site(const char* element, std::vector<double> position, DomainShape shape, double radius) {
    Site s;
    s.element = element;
    s.position = std::move(position);
    s.domain.shape = shape;
    s.domain.radius = radius;
    return s;
}

void expectDirectSum(const StructureModel& model, RunResult run) {
    ASSERT_TRUE(fillIntensities(model, run));
    const RowProjector projector(run.basis);
    std::vector<double> direct;
    double strongest = 0.0;
    for (const ReflectionRecord& row : run.table) {
        const SplitVector q = projector.split(row);
        const double s = q.parallelLength / 2.0, sPerp = q.perpendicularLength / 2.0;
        std::complex<double> f = 0.0;
        for (const Site& k : model.sites) {
            double hr = 0.0;
            for (std::size_t i = 0; i < k.position.size(); ++i)
                hr += row.h(static_cast<int>(i)) * k.position[i];
            f += k.occupancy * roundDomainMeasure(k.domain) *
                 ScatteringFactor(k.element, model.radiation.kind)(s) *
                 std::exp(-k.bParallel * s * s - k.bPerpendicular * sPerp * sPerp) *
                 roundDomainTransform(k.domain, q.perpendicularLength) *
                 std::polar(1.0, 2.0 * std::numbers::pi * hr);
        }
        direct.push_back(std::norm(f));
        strongest = std::max(strongest, direct.back());
    }
    for (std::size_t i = 0; i < run.table.size(); ++i)
        ASSERT_NEAR(run.table[i].v[kIntensity], 100.0 * direct[i] / strongest, 1e-4) << i;
}

}  // namespace

TEST(Intensity, SitesHalfACellApartCancelOddLayers) {
    RunResult run = wideRun(QuasicrystalSystem::Decagonal, "2");
    StructureModel model;
    model.sites = {site("Al", {0, 0, 0, 0, 0}, DomainShape::Disc, 5.0),
                   site("Al", {0, 0, 0, 0, 0.5}, DomainShape::Disc, 5.0)};
    ASSERT_EQ(modelProblem(model, QuasicrystalSystem::Decagonal), "");
    ASSERT_TRUE(fillIntensities(model, run));
    float strongest = 0.0f;
    int odd = 0;
    for (const ReflectionRecord& row : run.table) {
        strongest = std::max(strongest, row.v[kIntensity]);
        if (static_cast<int>(row.h(4)) % 2 == 0) continue;
        ++odd;
        EXPECT_EQ(row.v[kIntensity], 0.0f);
    }
    EXPECT_GT(odd, 100);
    EXPECT_EQ(strongest, 100.0f);
}

// The sampled factors and tabulated phases against the sum written out, for whole runs:
// one site at the origin (F real) and, for electrons, two sites apart with Debye-Waller
// factors; an axial run in the Steurer basis, whose qi is |H-perp| itself.
TEST(Intensity, RunMatchesTheDirectSum) {
    StructureModel one;
    one.sites = {site("Al", {0, 0, 0, 0, 0, 0}, DomainShape::Sphere, 6.533)};
    StructureModel two = one;
    two.sites.push_back(site("Pd", {0.5, 0, 0.25, 0, 0, 0.1}, DomainShape::Sphere, 4.0));
    two.sites[1].occupancy = 0.7;
    two.sites[1].bParallel = 1.5;
    two.sites[1].bPerpendicular = 20.0;
    two.radiation.kind = RadiationKind::Electron;
    const RunResult icosahedral = wideRun(QuasicrystalSystem::Icosahedral, "3");
    ASSERT_GT(icosahedral.table.size(), 65536u);  // several chunks, on every core
    expectDirectSum(one, icosahedral);
    expectDirectSum(two, icosahedral);
    StructureModel disc;
    disc.sites = {site("Ni", {0, 0, 0, 0, 0}, DomainShape::Disc, 3.0)};
    expectDirectSum(disc, wideRun(QuasicrystalSystem::Decagonal, "3", MatrixConvention::Steurer));
}

// A shell is the full domain less its core: the same F as two sites, the core's occupancy
// -1, for round domains and exact windows.
TEST(Intensity, ShellIsTheDomainLessItsCore) {
    const auto expectSame = [](const std::vector<Site>& shells, const RunResult& run) {
        StructureModel shell, difference;
        shell.sites = shells;
        for (Site site : shells) {
            Site core = site;
            site.domain.innerRadius = site.domain.innerScale = 0.0;
            core.domain.radius = core.domain.innerRadius;
            core.domain.scale = core.domain.innerScale;
            core.domain.innerRadius = core.domain.innerScale = 0.0;
            core.occupancy = -site.occupancy;
            difference.sites.push_back(site);
            difference.sites.push_back(core);
        }
        const StructureFactor a(shell, run), b(difference, run);
        double largest = 0.0;
        for (const ReflectionRecord& row : run.table) largest = std::max(largest, std::abs(b(row)));
        ASSERT_GT(largest, 0.0);
        for (const ReflectionRecord& row : run.table)
            ASSERT_LT(std::abs(a(row) - b(row)), 1e-6 * largest);
    };
    Site sphere = site("Pd", {0.5, 0, 0.25, 0, 0, 0.1}, DomainShape::Sphere, 6.5);
    sphere.domain.innerRadius = 3.0;
    sphere.occupancy = 0.8;
    Site triacontahedron = site("Al", {0, 0, 0, 0, 0, 0}, DomainShape::Window, 0.0);
    triacontahedron.domain.innerScale = 0.5;
    expectSame({sphere, triacontahedron}, wideRun(QuasicrystalSystem::Icosahedral, "2"));
    Site disc = site("Ni", {0, 0, 0, 0, 0.25}, DomainShape::Disc, 4.0);
    disc.domain.innerRadius = 2.5;
    Site pentagon = site("Al", {0.4, 0.4, 0.4, 0.4, 0}, DomainShape::Window, 0.0);
    pentagon.domain.pentagon = 2;
    pentagon.domain.innerScale = 0.3;
    expectSame({disc, pentagon}, wideRun(QuasicrystalSystem::Decagonal, "3"));
}

TEST(Intensity, StopLeavesTheRunUnfinished) {
    RunResult run = wideRun(QuasicrystalSystem::Decagonal, "2");
    StructureModel model;
    model.sites = {site("Al", {0, 0, 0, 0, 0}, DomainShape::Disc, 5.0)};
    EXPECT_FALSE(fillIntensities(model, run, [] { return true; }));
}

TEST(Intensity, ModelThatDoesNotFitTheRunIsRefused) {
    RunResult run = wideRun(QuasicrystalSystem::Decagonal, "2");
    StructureModel model;
    model.sites = {site("Al", {0, 0, 0, 0, 0, 0}, DomainShape::Sphere, 5.0)};
    EXPECT_THROW(fillIntensities(model, run), std::invalid_argument);
}
