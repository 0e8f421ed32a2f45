// Intensities: a run against the same run with the relative intensities of a one-site model.

#include <benchmark/benchmark.h>

#include "engine/generation.h"
#include "engine/groups.h"
#include "physics/intensity.h"
#include "physics/one_site_model.h"

using namespace tesral;
using namespace tesral::physics;

namespace {

/** --system octagonal --limits 8,8,8,8,8 --thmax 180 --qimax 1E9: 1,419,800 rows. */
RunInputs boxBound() {
    RunInputs in;
    in.system = QuasicrystalSystem::Octagonal;
    in.groupPosition = defaultGroupPosition(in.system);
    in.loopLimits.fill("8");
    in.thetaMax = "180";
    in.qiMax = "1E9";
    return in;
}

void run(benchmark::State& state) {
    const RunInputs in = boxBound();
    for (auto _ : state) {
        const RunResult r = runGeneration(in);
        benchmark::DoNotOptimize(r.table.data());
        state.counters["rows"] = static_cast<double>(r.table.size());
    }
}

void runWithIntensities(benchmark::State& state, const char* domain) {
    const RunInputs in = boxBound();
    const StructureModel model = oneSiteModel(in.system, domain);
    for (auto _ : state) {
        RunResult r = runGeneration(in);
        fillIntensities(model, r);
        benchmark::DoNotOptimize(r.table.data());
        state.counters["rows"] = static_cast<double>(r.table.size());
    }
}

/** The intensities alone, on a run made once. */
void intensitiesOnly(benchmark::State& state) {
    const RunInputs in = boxBound();
    const StructureModel model = oneSiteModel(in.system, "disc:5");
    RunResult r = runGeneration(in);
    for (auto _ : state) {
        fillIntensities(model, r);
        benchmark::DoNotOptimize(r.table.data());
    }
    state.counters["rows"] = static_cast<double>(r.table.size());
}

}  // namespace

BENCHMARK(run)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(runWithIntensities, disc, "disc:5")
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(intensitiesOnly)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
