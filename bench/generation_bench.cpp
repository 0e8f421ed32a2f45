// Generation runs: the fast engine against the literal walk, and the memory of a run.

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <new>
#include <random>

#include "engine/generation.h"
#include "engine/groups.h"
#include "engine/projected_points.h"
#include "literal_run.h"
#include "run_comparison.h"

using namespace tesral;

// Heap accounting: every allocation carries its size in front of it.
namespace {
std::atomic<long long> liveBytes{0};
std::atomic<long long> peakBytes{0};
constexpr std::size_t kHeader = 16;

void* allocate(std::size_t size) {
    void* p = std::malloc(size + kHeader);
    if (!p) throw std::bad_alloc();
    *static_cast<std::size_t*>(p) = size;
    const long long now = liveBytes.fetch_add(static_cast<long long>(size)) + size;
    long long peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {
    }
    return static_cast<char*>(p) + kHeader;
}

void release(void* p) noexcept {
    if (!p) return;
    void* block = static_cast<char*>(p) - kHeader;
    liveBytes.fetch_sub(static_cast<long long>(*static_cast<std::size_t*>(block)));
    std::free(block);
}
}  // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void operator delete(void* p) noexcept {
    release(p);
}
void operator delete[](void* p) noexcept {
    release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    release(p);
}

namespace {

RunInputs octagonal(const char* limit) {
    RunInputs in;
    in.system = QuasicrystalSystem::Octagonal;
    in.groupPosition = defaultGroupPosition(in.system);
    in.loopLimits.fill(limit);
    return in;
}

RunInputs icosahedral(const char* limit) {
    RunInputs in;
    in.system = QuasicrystalSystem::Icosahedral;
    in.groupPosition = defaultGroupPosition(in.system);
    in.loopLimits.fill(limit);
    return in;
}

/** Octagonal limits 8 with no theta or qi limit: every vector of the box is kept. */
RunInputs boxBound() {
    RunInputs in = octagonal("8");
    in.thetaMax = "180";
    in.qiMax = "1E9";
    return in;
}

/** Octagonal limits 14, theta 0 to 180, no qi limit: 20.5 million rows (1.2 GB). */
RunInputs largeBoxBound() {
    RunInputs in = boxBound();
    in.loopLimits.fill("14");
    in.thetaMin = std::string("0");  // a literal trips a GCC 12 -Wrestrict false alarm
    return in;
}

template <class Run>
void runAndCount(benchmark::State& state, const RunInputs& in, Run run) {
    std::size_t rows = 0;
    for (auto _ : state) {
        const RunResult r = run(in, TableStatistics{}, ProgressCallback{});
        rows = r.table.size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void fast(benchmark::State& state, RunInputs in) {
    runAndCount(state, in, runGeneration);
}

void literal(benchmark::State& state, RunInputs in) {
    runAndCount(state, in,
                [](const RunInputs& i, const TableStatistics& p, const ProgressCallback& c) {
                    return runLiteral(i, p, c);
                });
}

/**
 * The phases of a large run: the walk (the first part of the progress), the table written
 * by the second pass, then the 3D plot's points.
 */
void largeRunPhases(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    const auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    const PreparedRun run = prepareRun(largeBoxBound());
    double walkSeconds = 0.0, tableSeconds = 0.0, pointsSeconds = 0.0;
    for (auto _ : state) {
        const auto start = Clock::now();
        auto walked = start;
        RunResult r = runPrepared(run, {}, [&](double fraction) {
            if (fraction < kWalkShareOfProgress) walked = Clock::now();
            return true;
        });
        const auto tableDone = Clock::now();
        const ProjectedPoints points = projectedPointsOf(r.table);
        benchmark::DoNotOptimize(points.data());
        walkSeconds += seconds(walked - start);
        tableSeconds += seconds(tableDone - walked);
        pointsSeconds += seconds(Clock::now() - tableDone);
        state.counters["rows"] = static_cast<double>(r.table.size());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["walk_ms"] = walkSeconds / n * 1e3;
    state.counters["table_ms"] = tableSeconds / n * 1e3;
    state.counters["points_ms"] = pointsSeconds / n * 1e3;
}

// Peak heap above the start, per kept row: for the enumeration alone (the table is then
// complete) and for the whole run with its published results.
long long enumerationPeak = 0;

EnumerationEnd measuredFast(const RunContext& ctx, ReflectionTable& table, TableStatistics& stats,
                            const ProgressCallback& progress) {
    const long long start = liveBytes.load();
    peakBytes = start;
    const EnumerationEnd end = enumerateFast(ctx, table, stats, progress);
    enumerationPeak = peakBytes.load() - start;
    return end;
}

void memory(benchmark::State& state, RunInputs in) {
    double perRowRun = 0.0, perRowEnumeration = 0.0;
    for (auto _ : state) {
        const long long start = liveBytes.load();
        peakBytes = start;
        const RunResult r = runGenerationWith(in, {}, {}, measuredFast);
        const double rows = static_cast<double>(std::max<std::size_t>(1, r.table.size()));
        perRowRun = static_cast<double>(peakBytes.load() - start) / rows;
        perRowEnumeration = static_cast<double>(enumerationPeak) / rows;
        state.counters["rows"] = static_cast<double>(r.table.size());
    }
    state.counters["enumeration_bytes_per_row"] = perRowEnumeration;
    state.counters["run_bytes_per_row"] = perRowRun;
}

/** The differential check with larger boxes than the unit test; fails on any difference. */
void differential(benchmark::State& state) {
    std::mt19937 rng(77);
    int runs = 0;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i, ++runs) {
            const RunInputs in = randomRunInputs(rng, 8, 5);
            const std::string diff = firstDifference(runGeneration(in), runLiteral(in));
            if (!diff.empty()) {
                state.SkipWithError((diff + ": " + describeInputs(in)).c_str());
                return;
            }
        }
    }
    state.counters["runs"] = runs;
}

}  // namespace

BENCHMARK_CAPTURE(fast, octagonal_limits20, octagonal("20"))
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(literal, octagonal_limits20, octagonal("20"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(fast, icosahedral_limits20, icosahedral("20"))
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(fast, box_bound, boxBound())
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(literal, box_bound, boxBound())
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(largeRunPhases)
    ->Name("large_run_phases_20M_rows")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK_CAPTURE(memory, box_bound, boxBound())->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(memory, icosahedral_limits20, icosahedral("20"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(differential)->Unit(benchmark::kSecond)->Iterations(1);

BENCHMARK_MAIN();
