#include "physics/real_space_structure.h"
#include "lattice/approximant.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "physics/approximant_structure.h"
#include "physics/domain_region.h"
#include "physics/model_file.h"
#include "physics/point_density.h"

using namespace tesral;
using namespace tesral::physics;

namespace {

constexpr double kPi = 3.141592653589793;
const double kTau = (1.0 + std::sqrt(5.0)) / 2.0;

struct PatchRun {
    const char* file;
    QuasicrystalSystem system;
    double a, c;  // angstrom
    MatrixConvention convention;
    Centring centring;
};

const PatchRun kIcosahedralSphere{"icosahedral-sphere.toml",
                                  QuasicrystalSystem::Icosahedral,
                                  4.56084,
                                  0,
                                  MatrixConvention::Yamamoto,
                                  Centring::Primitive};
const PatchRun kPenrose3D{"icosahedral-window.toml",
                          QuasicrystalSystem::Icosahedral,
                          4.56084,
                          0,
                          MatrixConvention::Yamamoto,
                          Centring::Primitive};
const PatchRun kAlCuFe{"icosahedral-alcufe.toml",
                       QuasicrystalSystem::Icosahedral,
                       8.9378,
                       0,
                       MatrixConvention::Yamamoto,
                       Centring::Face};
const PatchRun kPenrose2D{
    "decagonal-penrose.toml", QuasicrystalSystem::Decagonal, 2.45, 6.0, MatrixConvention::Yamamoto,
    Centring::Primitive};
const PatchRun kAmmannBeenker{
    "octagonal-window.toml", QuasicrystalSystem::Octagonal, 2.5, 3.0, MatrixConvention::Yamamoto,
    Centring::Primitive};
const PatchRun kAlCuCo{"decagonal-alcuco.toml",
                       QuasicrystalSystem::Decagonal,
                       3.7651,
                       4.1481,
                       MatrixConvention::Steurer,
                       Centring::Primitive};

StructureModel modelOf(const PatchRun& run) {
    const ModelLoad load = loadModel(std::string(TESRAL_MODELS_DIR "/") + run.file, run.system);
    EXPECT_EQ(load.error, "") << run.file;
    return load.model.value_or(StructureModel{});
}

LatticeBasis basisOf(const PatchRun& run) {
    return buildLatticeBasis(run.system, run.a, run.c, run.convention).value();
}

std::vector<StructureAtom> patch(const PatchRun& run, double radius,
                                 std::array<double, 3> shift = {}) {
    return structurePatch(modelOf(run), run.system, basisOf(run), run.centring,
                          {radius, shift, 2, {}});
}

/** Atoms per cubic angstrom of a patch, each atom counted by its occupancy. */
double density(const PatchRun& run, const std::vector<StructureAtom>& atoms, double radius) {
    const StructureModel model = modelOf(run);
    double sum = 0.0;
    for (const StructureAtom& atom : atoms)
        sum += model.sites[static_cast<std::size_t>(atom.site)].occupancy;
    return sum / (4.0 / 3.0 * kPi * radius * radius * radius);
}

double shortestDistance(const std::vector<StructureAtom>& atoms) {
    double best = HUGE_VAL;
    for (std::size_t i = 0; i < atoms.size(); ++i)
        for (std::size_t j = i + 1; j < atoms.size(); ++j) {
            double d2 = 0.0;
            for (int c = 0; c < 3; ++c)
                d2 += std::pow(atoms[i].position[c] - atoms[j].position[c], 2);
            best = std::min(best, d2);
        }
    return std::sqrt(best);
}

using AtomKey = std::array<long, 4>;

std::set<AtomKey> keysOf(const std::vector<StructureAtom>& atoms) {
    std::set<AtomKey> keys;
    for (const StructureAtom& a : atoms)
        keys.insert({std::lround(a.position[0] * 1e6), std::lround(a.position[1] * 1e6),
                     std::lround(a.position[2] * 1e6), a.site});
    return keys;
}

/**
 * The atoms by a walk of the whole index box that can hold them: |n_i + o_i - c_i| bounded
 * by R times the norm of the parallel rows of column i of the inverse basis plus the domain's
 * radius times that of its perpendicular rows.
 */
std::set<AtomKey> literalPatch(const PatchRun& run, double radius, std::array<double, 3> shift) {
    const StructureModel model = modelOf(run);
    const LatticeBasis basis = basisOf(run);
    const int n = basis.n;
    const bool ico = n == 6;
    const std::vector<int> par = ico ? std::vector<int>{0, 1, 2} : std::vector<int>{0, 1, 4};
    const std::vector<int> perp = ico ? std::vector<int>{3, 4, 5} : std::vector<int>{2, 3};
    std::vector<StructureAtom> atoms;
    for (std::size_t s = 0; s < model.sites.size(); ++s) {
        const DomainRegion region(run.system, basis, model.sites[s].domain);
        for (const auto& t : centringTranslations(run.centring, n)) {
            std::vector<int> lo(n), hi(n);
            for (int i = 0; i < n; ++i) {
                double np = 0.0, nq = 0.0, centre = model.sites[s].position[i] + t[i];
                for (int c : par) np += std::pow(basis.inverse(c, i), 2);
                for (std::size_t c = 0; c < perp.size(); ++c) {
                    nq += std::pow(basis.inverse(perp[c], i), 2);
                    centre -= shift[c] * basis.inverse(perp[c], i);
                }
                const double half = radius * std::sqrt(np) + region.outerRadius() * std::sqrt(nq);
                lo[i] = static_cast<int>(std::floor(-half - centre));
                hi[i] = static_cast<int>(std::ceil(half - centre));
            }
            std::vector<int> m(lo);
            for (;;) {
                double x[6] = {};
                for (int i = 0; i < n; ++i)
                    for (int c = 0; c < n; ++c)
                        x[c] += (m[i] + model.sites[s].position[i] + t[i]) * basis.direct(i, c);
                StructureAtom atom{{x[par[0]], x[par[1]], x[par[2]]}, static_cast<int>(s)};
                double y[3] = {};
                for (std::size_t c = 0; c < perp.size(); ++c) y[c] = shift[c] - x[perp[c]];
                if (std::hypot(atom.position[0], atom.position[1], atom.position[2]) <= radius &&
                    region.contains(y))
                    atoms.push_back(atom);
                int i = 0;
                while (i < n && ++m[i] > hi[i]) m[i] = lo[i], ++i;
                if (i == n) break;
            }
        }
    }
    return keysOf(atoms);
}

}  // namespace

// Sphere, window and shell domains, centred and primitive lattices, both bases: a large patch
// holds sum p V / cell atoms per unit volume.
TEST(StructurePatch, DensityIsTheDomainsOverTheCell) {
    const struct {
        PatchRun run;
        double radius;
    } cases[] = {{kIcosahedralSphere, 45.0}, {kPenrose3D, 45.0}, {kAlCuFe, 28.0},
                 {kPenrose2D, 80.0},         {kAlCuCo, 60.0},    {kAmmannBeenker, 60.0}};
    for (const auto& k : cases) {
        const double expected =
            pointDensity(modelOf(k.run), k.run.system, basisOf(k.run), k.run.centring);
        const double found = density(k.run, patch(k.run, k.radius), k.radius);
        EXPECT_NEAR(found, expected, 0.03 * expected) << k.run.file;
    }
}

// The walk misses no atom: a literal walk of the whole box finds the same set.
TEST(StructurePatch, FindsWhatTheWholeIndexBoxHolds) {
    const std::array<double, 3> shift{0.31, -0.57, 0.23};
    for (const auto& [run, radius] :
         {std::pair{kAlCuFe, 9.0}, std::pair{kAlCuCo, 9.0}, std::pair{kPenrose3D, 10.0}}) {
        const std::set<AtomKey> walked = keysOf(patch(run, radius, shift));
        EXPECT_GT(walked.size(), 20u) << run.file;
        EXPECT_EQ(walked, literalPatch(run, radius, shift)) << run.file;
    }
}

// Boundary points are taken once, so the tilings' shortest distances hold even at the
// singular shift 0: the short body diagonal of the oblate rhombohedron, a sqrt(3 - 6/sqrt 5),
// in the three-dimensional Penrose tiling; the thin rhombus' short diagonal, edge / tau, in the
// Penrose tiling of edge 2a/sqrt 5. Both occur, so they are the minima.
TEST(StructurePatch, TilingsKeepTheirShortestDistance) {
    const double oblate = kPenrose3D.a * std::sqrt(3.0 - 6.0 / std::sqrt(5.0));
    const double thin = 2.0 * kPenrose2D.a / std::sqrt(5.0) / kTau;
    for (const std::array<double, 3> shift : {std::array<double, 3>{}, {0.21, 0.43, -0.17}}) {
        EXPECT_NEAR(shortestDistance(patch(kPenrose3D, 22.0, shift)), oblate, 1e-6);
        EXPECT_NEAR(shortestDistance(patch(kPenrose2D, 20.0, shift)), thin, 1e-6);
    }
}

// A phason shift exchanges atoms but keeps their density.
TEST(StructurePatch, PhasonShiftMovesAtomsAndKeepsTheDensity) {
    const double radius = 40.0;
    const std::vector<StructureAtom> still = patch(kPenrose3D, radius);
    const std::vector<StructureAtom> moved = patch(kPenrose3D, radius, {0.8, -0.5, 0.3});
    const std::set<AtomKey> before = keysOf(still), after = keysOf(moved);
    std::vector<AtomKey> gone;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::back_inserter(gone));
    EXPECT_GT(gone.size(), before.size() / 100);
    EXPECT_LT(gone.size(), before.size() / 2);
    EXPECT_NEAR(density(kPenrose3D, moved, radius), density(kPenrose3D, still, radius),
                0.02 * density(kPenrose3D, still, radius));
}

// Under the 1/1 approximant's strain the structure repeats with the cubic cell: every atom
// well inside the patch has an atom of its site one cell vector away. The density stays.
TEST(StructurePatch, TheApproximantsStrainMakesThePatchPeriodic) {
    const double radius = 30.0;
    const LatticeBasis basis = basisOf(kPenrose3D);
    std::string error;
    const Approximant cubic = *parseApproximant("1/1", kPenrose3D.system, error);
    PatchRequest request{radius, {}, 2, {}};
    request.phasonStrain = approximantStrain(basis, cubic);
    const std::vector<StructureAtom> atoms =
        structurePatch(modelOf(kPenrose3D), kPenrose3D.system, basis, kPenrose3D.centring, request);
    const ApproximantCell cell = approximantCell(basis, cubic);
    const auto has = [&](const std::array<double, 3>& at, int site) {
        return std::any_of(atoms.begin(), atoms.end(), [&](const StructureAtom& a) {
            double d2 = 0.0;
            for (int c = 0; c < 3; ++c) d2 += std::pow(a.position[c] - at[c], 2);
            return a.site == site && d2 < 1e-8;
        });
    };
    int checked = 0;
    for (const StructureAtom& atom : atoms) {
        double r2 = 0.0;
        for (int c = 0; c < 3; ++c) r2 += atom.position[c] * atom.position[c];
        if (std::sqrt(r2) > radius - cell.constants[0] - 0.1) continue;
        for (const auto& vector : cell.vectors) {
            std::array<double, 3> moved{};
            for (int c = 0; c < 3; ++c) moved[c] = atom.position[c] + vector[c];
            EXPECT_TRUE(has(moved, atom.site));
            ++checked;
        }
    }
    EXPECT_GT(checked, 100);
    EXPECT_FALSE(keysOf(atoms) == keysOf(patch(kPenrose3D, radius)));
    // One cell's count depends on the shift; its mean over shifts is the quasicrystal's.
    double mean = 0.0;
    const int shifts = 24;
    for (int i = 0; i < shifts; ++i) {
        request.phasonShift = {std::fmod(3.731 * i, 9.5) - 4.75, std::fmod(2.377 * i, 8.5) - 4.25,
                               std::fmod(1.519 * i, 7.5) - 3.75};
        mean += density(kPenrose3D,
                        structurePatch(modelOf(kPenrose3D), kPenrose3D.system, basis,
                                       kPenrose3D.centring, request),
                        radius) /
                shifts;
    }
    EXPECT_NEAR(mean,
                pointDensity(modelOf(kPenrose3D), kPenrose3D.system, basis, kPenrose3D.centring),
                0.03 * mean);
}

// One approximant cell holds each atom of the periodic structure once: every atom of a large
// strained patch about the origin, wrapped into the cell, is one of the cell's atoms (those
// on faces included), no two of the cell's atoms are the same, and over phason shifts the
// cell holds rho V atoms on average.
TEST(ApproximantCellAtoms, HoldEachAtomOnceAndTheMeanDensity) {
    struct Case {
        const PatchRun* run;
        const char* ratios;
        std::array<double, 3> shift;
    };
    for (const Case& c :
         {Case{&kPenrose3D, "1/1", {0.3, -0.2, 0.7}}, Case{&kPenrose3D, "1/1", {}},
          Case{&kPenrose2D, "3/2,2/1", {0.4, 0.1, 0}}, Case{&kAlCuFe, "1/1", {0.3, -0.2, 0.7}}}) {
        SCOPED_TRACE(std::string(c.run->file) + " " + c.ratios);
        const StructureModel model = modelOf(*c.run);
        const LatticeBasis basis = basisOf(*c.run);
        std::string error;
        const Approximant approximant = *parseApproximant(c.ratios, c.run->system, error);
        const ApproximantCell cell = centredApproximantCell(basis, approximant, c.run->centring);
        const auto cellAtoms = [&](std::array<double, 3> shift) {
            return approximantCellAtoms(model, c.run->system, basis, c.run->centring, approximant,
                                        shift, 2);
        };
        const std::vector<CellAtom> atoms = cellAtoms(c.shift);
        std::set<AtomKey> keys;
        for (const CellAtom& a : atoms) {
            for (double f : a.fraction) ASSERT_TRUE(f >= 0.0 && f < 1.0);
            keys.insert({std::lround(a.fraction[0] * 1e6) % 1000000,
                         std::lround(a.fraction[1] * 1e6) % 1000000,
                         std::lround(a.fraction[2] * 1e6) % 1000000, a.site});
        }
        EXPECT_EQ(keys.size(), atoms.size());

        PatchRequest request{2.0 * *std::max_element(cell.constants.begin(), cell.constants.end()),
                             c.shift, 2, approximantStrain(basis, approximant)};
        std::set<AtomKey> wrapped;
        for (const StructureAtom& a :
             structurePatch(model, c.run->system, basis, c.run->centring, request)) {
            AtomKey key{0, 0, 0, a.site};
            for (std::size_t i = 0; i < 3; ++i) {
                const auto& v = cell.vectors[i];
                double f = (a.position[0] * v[0] + a.position[1] * v[1] + a.position[2] * v[2]) /
                           (v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
                key[i] = (std::lround((f - std::floor(f + 1e-9)) * 1e6) + 1000000) % 1000000;
            }
            wrapped.insert(key);
        }
        EXPECT_TRUE(wrapped == keys)
            << wrapped.size() << " wrapped, " << keys.size() << " in the cell";

        const double volume = cell.constants[0] * cell.constants[1] * cell.constants[2];
        double mean = 0.0;
        const int shifts = 60;
        for (int i = 0; i < shifts; ++i)
            mean += static_cast<double>(cellAtoms({std::fmod(3.731 * i, 9.5) - 4.75,
                                                   std::fmod(2.377 * i, 8.5) - 4.25,
                                                   std::fmod(1.519 * i, 7.5) - 3.75})
                                            .size()) /
                    shifts;
        const double expected = pointDensity(model, c.run->system, basis, c.run->centring) * volume;
        EXPECT_NEAR(mean, expected, 0.03 * expected);
    }
}
