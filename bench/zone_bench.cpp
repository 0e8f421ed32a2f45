// Zone-axis sections: the icosahedral fivefold section at growing limits (its cost follows
// the members, not the box), against the full run of the same windows.

#include <benchmark/benchmark.h>

#include <string>

#include "engine/zone_section.h"

using namespace tesral;

namespace {

RunInputs icosahedral(int limit, const char* qiMax) {
    RunInputs in;
    in.system = QuasicrystalSystem::Icosahedral;
    in.groupPosition = 0;
    in.a = std::string("4.56084");
    in.thetaMin = std::string("0");
    in.thetaMax = std::string("90");
    in.qiMax = std::string(qiMax);
    in.wavelength = std::string("0.025079");  // 200 kV electrons
    in.loopLimits.fill(std::to_string(limit));
    return in;
}

void BM_FivefoldSection(benchmark::State& state) {
    const PreparedRun run = prepareRun(icosahedral(static_cast<int>(state.range(0)), "1"));
    AxisIndices axis{};
    parseZoneAxis("fivefold", QuasicrystalSystem::Icosahedral, axis);
    std::size_t rows = 0;
    for (auto _ : state) {
        const ZoneSection s = computeZoneSection(run, {axis, 0.0, std::nullopt});
        rows = s.run.table.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["members"] = static_cast<double>(rows);
}
BENCHMARK(BM_FivefoldSection)->Arg(10)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond);

// A wide qi window: many members, the box the only bound in perpendicular space.
void BM_FivefoldSectionWideQi(benchmark::State& state) {
    const PreparedRun run = prepareRun(icosahedral(static_cast<int>(state.range(0)), "1e9"));
    AxisIndices axis{};
    parseZoneAxis("fivefold", QuasicrystalSystem::Icosahedral, axis);
    std::size_t rows = 0;
    for (auto _ : state) {
        rows = computeZoneSection(run, {axis, 0.0, std::nullopt}).run.table.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["members"] = static_cast<double>(rows);
}
BENCHMARK(BM_FivefoldSectionWideQi)->Arg(5)->Arg(10)->Unit(benchmark::kMillisecond);

// The near-zone slab of a thin foil around the same axis.
void BM_FivefoldSlab(benchmark::State& state) {
    const PreparedRun run = prepareRun(icosahedral(20, "1"));
    AxisIndices axis{};
    parseZoneAxis("fivefold", QuasicrystalSystem::Icosahedral, axis);
    std::size_t rows = 0;
    for (auto _ : state) {
        rows = computeZoneSection(run, {axis, 0.02, std::nullopt}).run.table.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_FivefoldSlab)->Unit(benchmark::kMillisecond);

// The full run of the same windows, for comparison.
void BM_FullRun(benchmark::State& state) {
    const PreparedRun run = prepareRun(icosahedral(20, "1"));
    std::size_t rows = 0;
    for (auto _ : state) {
        rows = runPrepared(run).table.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_FullRun)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
