// Model refinement: a whole pattern of 4,500 points and about 1,000 reflections with 10
// parameters, and 2,000 integrated intensities with 5, each from a start a few percent off.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <sstream>

#include "physics/calculation.h"
#include "physics/model_refinement.h"

using namespace tesral;
using namespace tesral::physics;

namespace {

Site site(const char* label, const char* element, std::vector<double> position, double radius) {
    Site s;
    s.label = label;
    s.element = element;
    s.domain.shape = position.size() == 6 ? DomainShape::Sphere : DomainShape::Disc;
    s.position = std::move(position);
    s.domain.radius = radius;
    s.bParallel = 0.8;
    return s;
}

Calculation calculationOf(QuasicrystalSystem system, StructureModel model, double a, double c,
                          const char* thetaMax, const char* qiMax) {
    RunInputs in;
    in.system = system;
    in.groupPosition = 0;
    in.a = std::to_string(a);
    in.c = std::to_string(c);
    in.loopLimits.fill("1");
    in.thetaMin = std::string("0");
    in.thetaMax = std::string(thetaMax);
    in.qiMax = std::string(qiMax);
    in.wavelength = std::string("1.5406");
    std::string error;
    return *calculationFrom(in, std::move(model), error);
}

StructureModel icosahedral(double r1, double r2) {
    StructureModel m;
    m.name = "bench";
    m.sites = {site("Al1", "Al", {0, 0, 0, 0, 0, 0}, r1),
               site("Pd1", "Pd", {0.5, 0.5, 0.5, 0.5, 0.5, 0.5}, r2)};
    return m;
}

StructureModel decagonal(double r1, double r2, double occupancy) {
    StructureModel m;
    m.name = "bench";
    m.sites = {site("Al1", "Al", {0, 0, 0, 0, 0}, r1), site("Ni1", "Ni", {0, 0, 0, 0, 0.5}, r2)};
    m.sites[1].occupancy = occupancy;
    return m;
}

/** 2-theta 10..100 in steps of 0.02 (4,501 points), counts with noise and a background. */
void wholePattern(benchmark::State& state) {
    const char* qiMax = "3.4";
    const Calculation truth = calculationOf(QuasicrystalSystem::Icosahedral, icosahedral(6.5, 3.5),
                                            4.56084, 0, "55", qiMax);
    PowderRequest request;
    request.grid = {10.0, 100.0, 0.02};
    request.shape = {0.0, 0.0, 0.012, 0.4};
    request.zero = 0.03;
    const PowderResult made = powder(truth, request);
    std::mt19937 random(24);
    Observations data;
    for (std::size_t i = 0; i < made.profile.size(); ++i) {
        const double y = 200.0 * made.profile[i] + 300.0;
        data.twoTheta.push_back(request.grid.at(i));
        data.value.push_back(y + std::normal_distribution<double>(0.0, std::sqrt(y))(random));
    }
    const Calculation start = calculationOf(QuasicrystalSystem::Icosahedral, icosahedral(6.9, 3.5),
                                            4.565, 0, "55", qiMax);
    RefineOptions options;
    options.vary = {"scale", "zero", "a", "background", "w", "eta", "Al1.radius"};
    options.shape = {0.0, 0.0, 0.0132, 0.36};
    ModelRefinement fit;
    for (auto _ : state) {
        fit = refineModel(start, data, options);
        benchmark::DoNotOptimize(fit.parameters.data());
    }
    state.counters["points"] = static_cast<double>(data.twoTheta.size());
    state.counters["reflections"] = static_cast<double>(made.run.table.size());
    state.counters["lines"] = static_cast<double>(made.lines.size());
    state.counters["parameters"] = static_cast<double>(fit.parameters.size());
    state.counters["iterations"] = fit.iterations;
    state.counters["chi2"] = fit.merit.chi2;
}

/** A list of 2,000 reflections of a decagonal model with I and sigma. */
void intensityList(benchmark::State& state) {
    Calculation truth = calculationOf(QuasicrystalSystem::Decagonal, decagonal(3.0, 2.0, 1.0), 2.45,
                                      4.1, "60", "1.3");
    truth.parameters.wavelength = truth.wavelength();
    widenToWholeOrbits(truth.parameters);
    const RunOutcome outcome = run(truth, prepare(truth));
    std::mt19937 random(26);
    std::ostringstream list;
    int kept = 0;
    for (const ReflectionRecord& row : outcome.result.table) {
        if (row.v[kIntensity] < 0.05 || kept == 2000) continue;
        const double i = 1000.0 * row.v[kIntensity], sigma = 0.03 * i + 1.0;
        for (int k = 0; k < 5; ++k) list << row.h(k) << ' ';
        list << i + std::normal_distribution<double>(0.0, sigma)(random) << ' ' << sigma << '\n';
        ++kept;
    }
    const Observations data = readObservationsText(list.str(), "bench.hkl");
    const Calculation start = calculationOf(QuasicrystalSystem::Decagonal,
                                            decagonal(3.2, 1.88, 0.92), 2.45, 4.1, "60", "1.3");
    RefineOptions options;
    options.vary = {"scale", "Al1.radius", "Ni1.radius", "Ni1.occupancy", "b_par"};
    ModelRefinement fit;
    for (auto _ : state) {
        fit = refineModel(start, data, options);
        benchmark::DoNotOptimize(fit.parameters.data());
    }
    state.counters["reflections"] = static_cast<double>(data.reflections.size());
    state.counters["run_rows"] = static_cast<double>(outcome.result.table.size());
    state.counters["iterations"] = fit.iterations;
    state.counters["goof"] = fit.merit.goof;
}

}  // namespace

BENCHMARK(wholePattern)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(intensityList)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
