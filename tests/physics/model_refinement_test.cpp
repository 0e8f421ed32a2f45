#include "physics/model_refinement.h"

#include <gtest/gtest.h>

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
    s.domain.shape = position.size() == 6 ? DomainShape::Sphere : DomainShape::Disc;
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

}  // namespace
