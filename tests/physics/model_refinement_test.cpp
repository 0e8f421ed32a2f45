#include "physics/model_refinement.h"
#include "physics/refinement_parameters.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <sstream>

using namespace tesral;
using namespace tesral::physics;

namespace {

Site site(const char* label, const char* element, std::vector<double> position, double radius,
          double bPar) {
    Site s;
    s.label = label;
    s.element = element;
    s.position = std::move(position);
    s.domain.shape = s.position.size() == 6 ? DomainShape::Sphere : DomainShape::Disc;
    s.domain.radius = radius;
    s.bParallel = bPar;
    return s;
}

/** i-AlPdMn-like: one sphere at the origin and one at the body centre. */
StructureModel icosahedralModel() {
    StructureModel m;
    m.name = "test";
    m.sites = {site("Al1", "Al", {0, 0, 0, 0, 0, 0}, 6.5, 0.8),
               site("Pd1", "Pd", {0.5, 0.5, 0.5, 0.5, 0.5, 0.5}, 3.5, 0.8)};
    return m;
}

/** Two layers of a decagonal cell. */
StructureModel decagonalModel() {
    StructureModel m;
    m.name = "test";
    m.sites = {site("Al1", "Al", {0, 0, 0, 0, 0}, 3.0, 0.8),
               site("Ni1", "Ni", {0, 0, 0, 0, 0.5}, 2.0, 0.8)};
    return m;
}

Calculation calculationOf(QuasicrystalSystem system, StructureModel model, double a, double c,
                          const char* thetaMax, const char* qiMax) {
    RunInputs in;
    in.system = system;
    in.groupPosition = 0;
    in.a = std::to_string(a);
    in.c = std::to_string(c);
    in.loopLimits.fill("1");
    in.thetaMin = "0";
    in.thetaMax = thetaMax;
    in.qiMax = qiMax;
    in.wavelength = "1.5406";
    std::string error;
    std::optional<Calculation> calc = calculationFrom(in, std::move(model), error);
    EXPECT_TRUE(calc) << error;
    return *calc;
}

double& fieldOf(StructureModel& m, const std::string& name) {
    const std::string label = name.substr(0, name.find('.'));
    for (Site& s : m.sites)
        if (s.label == label) {
            if (name.ends_with(".radius")) return s.domain.radius;
            if (name.ends_with(".occupancy")) return s.occupancy;
        }
    return m.sites.front().bParallel;  // b_par, shared
}

struct Offset {
    const char* name;
    double factor;  // start = true value * factor
};

struct PatternCase {
    const char* what;
    QuasicrystalSystem system;
    StructureModel model;
    double a, c;
    const char* qiMax;
    std::vector<std::string> vary;
    std::vector<Offset> offsets;  // of the model's fields
};

TEST(ModelRefinementPattern, RefinesBackToTheParametersThePatternWasMadeWith) {
    const PatternCase cases[] = {
        {"icosahedral",
         QuasicrystalSystem::Icosahedral,
         icosahedralModel(),
         4.56084,
         0,
         "1.5",
         {"scale", "zero", "a", "background", "w", "eta", "b_par", "Al1.radius", "Pd1.radius"},
         {{"Al1.radius", 1.06}, {"Pd1.radius", 0.93}, {"b_par", 1.1}}},
        {"decagonal",
         QuasicrystalSystem::Decagonal,
         decagonalModel(),
         2.45,
         4.1,
         "1.2",
         {"scale", "zero", "a", "c", "background", "w", "eta", "Al1.radius", "Ni1.occupancy"},
         {{"Al1.radius", 0.94}, {"Ni1.occupancy", 0.92}}},
    };
    for (const PatternCase& pc : cases) {
        SCOPED_TRACE(pc.what);
        const double zero = 0.03, w = 0.012, eta = 0.4;
        const Calculation truth = calculationOf(pc.system, pc.model, pc.a, pc.c, "45", pc.qiMax);
        PowderRequest request;
        request.grid = {20.0, 85.0, 0.02};
        request.shape = {0.0, 0.0, w, eta};
        request.zero = zero;
        const PowderResult made = powder(truth, request);
        ASSERT_TRUE(made.ok()) << made.message;
        // Counts: a peak of 20000, a sloping background, Poisson-like noise.
        std::mt19937 random(24);
        Observations data;
        data.source = "made";
        for (std::size_t i = 0; i < made.profile.size(); ++i) {
            const double t = request.grid.at(i);
            const double y = 200.0 * made.profile[i] + 300.0 - 2.0 * (t - 50.0);
            data.twoTheta.push_back(t);
            data.value.push_back(y + std::normal_distribution<double>(0.0, std::sqrt(y))(random));
        }
        StructureModel startModel = pc.model;
        for (const Offset& o : pc.offsets) fieldOf(startModel, o.name) *= o.factor;
        if (pc.system == QuasicrystalSystem::Icosahedral)
            for (Site& s : startModel.sites) s.bParallel = pc.model.sites[0].bParallel * 1.1;
        const Calculation start =
            calculationOf(pc.system, startModel, pc.a * 1.002, pc.c * 0.998, "45", pc.qiMax);
        RefineOptions options;
        options.vary = pc.vary;
        options.shape = {0.0, 0.0, w * 1.1, eta * 0.9};
        const ModelRefinement fit = refineModel(start, data, options);
        ASSERT_TRUE(fit.ok()) << fit.message;
        EXPECT_EQ(fit.warning, "");
        EXPECT_TRUE(fit.converged);
        EXPECT_NEAR(fit.merit.chi2, 1.0, 0.1);
        StructureModel truthModel = pc.model;
        for (const RefinedValue& v : fit.parameters) {
            double expected = NAN;
            if (v.name == "zero") expected = zero;
            if (v.name == "a") expected = pc.a;
            if (v.name == "c") expected = pc.c;
            if (v.name == "w") expected = w;
            if (v.name == "eta") expected = eta;
            if (v.name.find('.') != std::string::npos || v.name == "b_par")
                expected = fieldOf(truthModel, v.name);
            if (std::isnan(expected)) continue;
            EXPECT_GT(v.su, 0.0) << v.name;
            EXPECT_NEAR(v.value, expected, 3.0 * v.su) << v.name << " from " << v.start;
        }
    }
}

TEST(ModelRefinementIntensities, RefinesBackFromAListReadAsText) {
    const StructureModel truthModel = decagonalModel();
    Calculation truth =
        calculationOf(QuasicrystalSystem::Decagonal, truthModel, 2.45, 4.1, "40", "1.2");
    truth.parameters.wavelength = truth.wavelength();
    ASSERT_EQ(widenToWholeOrbits(truth.parameters), "");
    const RunOutcome outcome = run(truth, prepare(truth));
    ASSERT_EQ(outcome.result.status, RunStatus::Completed);
    std::mt19937 random(26);
    std::ostringstream list;
    list << "# h1..h5 I sigma\n";
    int kept = 0;
    for (const ReflectionRecord& row : outcome.result.table) {
        const double i = row.v[kIntensity];
        if (i < 0.5) continue;
        const double sigma = 0.03 * 1000.0 * i + 1.0;
        for (int k = 0; k < 5; ++k) list << row.h(k) << ' ';
        list << 1000.0 * i + std::normal_distribution<double>(0.0, sigma)(random) << ' ' << sigma
             << '\n';
        ++kept;
    }
    ASSERT_GT(kept, 50);
    const Observations data = readObservationsText(list.str(), "list.hkl");
    ASSERT_EQ(data.kind, ObservationKind::Intensities);
    StructureModel startModel = truthModel;
    startModel.sites[0].domain.radius *= 1.07;
    startModel.sites[1].domain.radius *= 0.94;
    startModel.sites[1].occupancy *= 0.92;
    for (Site& s : startModel.sites) s.bParallel *= 1.1;
    RefineOptions options;
    options.vary = {"scale", "Al1.radius", "Ni1.radius", "Ni1.occupancy", "b_par"};
    const ModelRefinement fit = refineModel(
        calculationOf(QuasicrystalSystem::Decagonal, startModel, 2.45, 4.1, "40", "1.2"), data,
        options);
    ASSERT_TRUE(fit.ok()) << fit.message;
    EXPECT_EQ(fit.warning, "");
    EXPECT_NEAR(fit.merit.goof, 1.0, 0.2);
    EXPECT_LT(fit.merit.wr2, 0.05);
    ASSERT_EQ(fit.observations.size(), static_cast<std::size_t>(kept));
    StructureModel expected = truthModel;
    for (const RefinedValue& v : fit.parameters) {
        if (v.name == "scale") continue;
        EXPECT_GT(v.su, 0.0) << v.name;
        EXPECT_NEAR(v.value, fieldOf(expected, v.name), 3.0 * v.su)
            << v.name << " from " << v.start;
    }
}

TEST(ModelRefinementStart, ReadersNameTheLineAndRefusalsSayWhy) {
    struct Bad {
        const char* text;
        const char* message;
    };
    const Bad files[] = {
        {"1 0 0 0 0 0 12 1\n1 1 0 0 0 0 x 1\n", "f:2: the intensity 'x' is not a finite number"},
        {"1 0 0 0 0 0 12 1\n1 1 0 0 0 0 12 0\n", "f:2: the sigma '0' is not a positive number"},
        {"# list\n1 0 0 0 0 12 1\n1 0 0 0 0 12\n",
         "f:3: 5 indices, I and sigma expected, not 6 numbers"},
        {"20 5 1\n21 6\n", "f:2: three numbers expected: 2-theta, intensity and its sigma"},
        {"20 5 1\n21 6 -1\n", "f:2: the sigma -1 must be positive"},
    };
    for (const Bad& b : files) {
        try {
            readObservationsText(b.text, "f");
            ADD_FAILURE() << b.text;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), b.message);
        }
    }
    const Observations pattern = readObservationsText("20 5 2\n21 6 2\n22 7 2\n", "p");
    EXPECT_EQ(pattern.kind, ObservationKind::Pattern);
    EXPECT_EQ(pattern.sigma, (std::vector<double>{2, 2, 2}));
    EXPECT_EQ(readObservationsText("20 5\n30 6\n", "p", true).kind, ObservationKind::PeakList);

    const Calculation start =
        calculationOf(QuasicrystalSystem::Icosahedral, icosahedralModel(), 4.56084, 0, "40", "1");
    const Observations few = readObservationsText("30 10\n40 20\n", "few", true);
    const Observations far = readObservationsText("1 0 0 0 0 40 10 1\n", "far");
    const Observations many = readObservationsText("20 1\n21 1\n22 1\n23 1\n", "many");
    struct Refused {
        const Observations* data;
        std::vector<std::string> vary;
        const char* message;
    };
    const Refused refused[] = {
        {&many, {"scale", "Xx1.radius"}, "Xx1.radius: the model has no site labelled 'Xx1'"},
        {&many, {"c"}, "c: an icosahedral lattice has no c"},
        {&many, {"Al1.window_scale"}, "Al1.window_scale: site Al1 has a sphere or disc, no window"},
        {&many, {"b_par", "Al1.b_par"}, "Al1.b_par and b_par refine the same site's value"},
        {&many,
         {"radius"},
         "radius: the sites hold different values (Al1 and Pd1); refine each as LABEL.radius"},
        {&few,
         {"scale", "b_par", "Al1.radius"},
         "2 observations for 3 parameters; a refinement needs more"},
        {&far, {"scale"}, "no reflection of far lies in the run's theta and qi windows"},
        {&few, {"w"}, "w: a peak list's intensities have no profile or background to refine"},
        {&far,
         {"phason"},
         "phason: integrated intensities do not fix the phason strain, which moves the lines "
         "(refine it from a whole pattern)"},
    };
    for (const Refused& r : refused) {
        RefineOptions options;
        options.vary = r.vary;
        EXPECT_EQ(refineModel(start, *r.data, options).message, r.message);
    }
}

TEST(ModelRefinementStrain, TheIsotropicStrainOfTauToTheMinusThreeIsTheCubicApproximant) {
    // The 1/1 approximant: the Gram matrix of the six strained H_par, scaled to 2 on the
    // diagonal, holds only 0 and +-1 (a face-centred cubic reciprocal lattice).
    const double tau = (1.0 + std::sqrt(5.0)) / 2.0;
    for (const MatrixConvention convention :
         {MatrixConvention::Yamamoto, MatrixConvention::Steurer}) {
        SCOPED_TRACE(static_cast<int>(convention));
        std::optional<LatticeBasis> basis =
            buildLatticeBasis(QuasicrystalSystem::Icosahedral, 6.32, 0, convention);
        ASSERT_TRUE(basis);
        PhasonStrain m = phasonIsotropicMap(QuasicrystalSystem::Icosahedral, convention);
        for (double& v : m.values) v *= std::pow(tau, -3.0);
        applyPhasonStrain(*basis, m);
        const auto gram = [&](int i, int j) {
            double sum = 0.0;
            for (int r = 0; r < 3; ++r) sum += basis->inverse(r, i) * basis->inverse(r, j);
            return sum;
        };
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 6; ++j) {
                const double g = 2.0 * gram(i, j) / gram(0, 0);
                EXPECT_NEAR(g, std::round(g), 1e-7) << i << j;
                EXPECT_LE(std::abs(std::round(g)), i == j ? 2.0 : 1.0) << i << j;
                if (i == j) {
                    EXPECT_NEAR(g, 2.0, 1e-7);
                }
            }
    }
}

TEST(ModelRefinementStrain, RefinesTheStrainBackFromZero) {
    struct StrainCase {
        const char* what;
        QuasicrystalSystem system;
        StructureModel model;
        double a, c;
        std::vector<std::string> vary;
        PhasonStrain strain;  // of the pattern
        double expected;      // the refined parameter: the last of vary
    };
    const StrainCase cases[] = {
        {"icosahedral, isotropic",
         QuasicrystalSystem::Icosahedral,
         icosahedralModel(),
         4.56084,
         0,
         {"scale", "phason"},
         {3, {0, 0, 0.005, 0, 0.005, 0, 0.005, 0, 0}},
         0.005},
        {"decagonal, one element",
         QuasicrystalSystem::Decagonal,
         decagonalModel(),
         2.45,
         4.1,
         {"scale", "phason.11"},
         {2, {0.01, 0, 0, 0, 0, 0, 0, 0, 0}},
         0.01},
    };
    for (const StrainCase& sc : cases) {
        SCOPED_TRACE(sc.what);
        StructureModel strained = sc.model;
        strained.phasonStrain = sc.strain;
        PowderRequest request;
        request.grid = {20.0, 85.0, 0.02};
        request.shape = {0.0, 0.0, 0.01, 0.5};
        const PowderResult made =
            powder(calculationOf(sc.system, strained, sc.a, sc.c, "45", "1.5"), request);
        ASSERT_TRUE(made.ok()) << made.message;
        std::mt19937 random(25);
        Observations data;
        data.source = "made";
        for (std::size_t i = 0; i < made.profile.size(); ++i) {
            const double y = 200.0 * made.profile[i] + 100.0;
            data.twoTheta.push_back(request.grid.at(i));
            data.value.push_back(y + std::normal_distribution<double>(0.0, std::sqrt(y))(random));
        }
        RefineOptions options;
        options.vary = sc.vary;
        options.vary.emplace_back("background");
        options.backgroundTerms = 1;
        options.shape = request.shape;
        const ModelRefinement fit =
            refineModel(calculationOf(sc.system, sc.model, sc.a, sc.c, "45", "1.5"), data, options);
        ASSERT_TRUE(fit.ok()) << fit.message;
        EXPECT_EQ(fit.warning, "");
        const RefinedValue& v = fit.parameters[1];
        EXPECT_EQ(v.start, 0.0);
        EXPECT_GT(v.su, 0.0);
        EXPECT_NEAR(v.value, sc.expected, 3.0 * v.su);
        ASSERT_TRUE(fit.model.phasonStrain);
        for (std::size_t k = 0; k < 9; ++k)
            EXPECT_NEAR(fit.model.phasonStrain->values[k], sc.strain.values[k], 3.0 * v.su);
    }
    RefineOptions options;
    options.vary = {"phason.33"};
    EXPECT_EQ(refineModel(calculationOf(QuasicrystalSystem::Decagonal, decagonalModel(), 2.45, 4.1,
                                        "45", "1.5"),
                          readObservationsText("20 1\n21 1\n22 1\n", "p"), options)
                  .message,
              "phason.33: the strain of an axial system is 2 x 2 (phason.11 to phason.22)");
}

/** Peaks of the lines of `made`: lines less than 0.3 degrees apart summed, clusters wider
 *  than 0.1 degrees left out, so that every line within 0.15 of a peak is one of its own. */
Observations peaksOf(const PowderResult& made, std::mt19937& random) {
    Observations data;
    data.kind = ObservationKind::PeakList;
    data.source = "peaks";
    const std::vector<PowderLine>& lines = made.lines;
    for (std::size_t first = 0; first < lines.size();) {
        std::size_t last = first + 1;
        while (last < lines.size() && lines[last].twoTheta - lines[last - 1].twoTheta < 0.3) ++last;
        double weight = 0.0, at = 0.0;
        for (std::size_t k = first; k < last; ++k) {
            weight += lines[k].weight;
            at += lines[k].weight * lines[k].twoTheta;
        }
        const bool narrow = lines[last - 1].twoTheta - lines[first].twoTheta < 0.1;
        if (narrow && weight > 0.5) {
            const double i = 10.0 * weight, sigma = 0.03 * i;
            data.twoTheta.push_back(at / weight);
            data.value.push_back(i + std::normal_distribution<double>(0.0, sigma)(random));
            data.sigma.push_back(sigma);
        }
        first = last;
    }
    return data;
}

TEST(ModelRefinementPeaks, RefinesBackAndStopsWithTheLastGoodValues) {
    const StructureModel truthModel = icosahedralModel();
    const Calculation truth =
        calculationOf(QuasicrystalSystem::Icosahedral, truthModel, 4.56084, 0, "45", "1.5");
    PowderRequest request;
    request.grid = {20.0, 85.0, 0.02};
    request.profile = false;
    const PowderResult made = powder(truth, request);
    ASSERT_TRUE(made.ok()) << made.message;
    std::mt19937 random(25);
    const Observations data = peaksOf(made, random);
    ASSERT_GT(data.twoTheta.size(), 20u);
    StructureModel startModel = truthModel;
    startModel.sites[0].domain.radius *= 1.06;
    startModel.sites[1].domain.radius *= 0.93;
    for (Site& s : startModel.sites) s.bParallel *= 1.1;
    const Calculation start =
        calculationOf(QuasicrystalSystem::Icosahedral, startModel, 4.56084, 0, "45", "1.5");
    RefineOptions options;
    options.vary = {"scale", "Al1.radius", "Pd1.radius", "b_par"};
    const ModelRefinement fit = refineModel(start, data, options);
    ASSERT_TRUE(fit.ok()) << fit.message;
    EXPECT_EQ(fit.warning, "");
    EXPECT_NEAR(fit.merit.goof, 1.0, 0.3);
    ASSERT_EQ(fit.observations.size(), data.twoTheta.size());
    StructureModel expected = truthModel;
    for (const RefinedValue& v : fit.parameters) {
        if (v.name == "scale") continue;
        EXPECT_NEAR(v.value, fieldOf(expected, v.name), 3.0 * v.su) << v.name;
    }

    // A shared occupancy only scales every |F|: the data cannot tell it from the scale.
    options.vary = {"scale", "occupancy", "b_par"};
    const ModelRefinement degenerate = refineModel(start, data, options);
    EXPECT_NE(degenerate.warning.find("cannot fix scale and occupancy (correlation"),
              std::string::npos)
        << degenerate.warning;
    // Stopped after the first iteration: its values, all finite.
    options.vary = {"scale", "Al1.radius", "Pd1.radius", "b_par"};
    std::atomic<bool> stop{false};
    const ModelRefinement cancelled =
        refineModel(start, data, options, {&stop, {}}, [&stop](int, double) { stop = true; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.iterations, 1);
    for (const ModelRefinement* f : {&degenerate, &cancelled})
        for (const RefinedValue& v : f->parameters) EXPECT_TRUE(std::isfinite(v.value)) << v.name;
}

}  // namespace
