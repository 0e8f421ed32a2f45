// The peak search of a measured pattern: 300,000 and 1,000,000 points over 90 degrees (forty
// lines) or over one degree (one line, finely stepped: the search window then spans
// thousands of points), on a sloping background with noise.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "physics/measured_pattern.h"

using namespace tesral::physics;

namespace {

MeasuredData pattern(std::size_t points, double span) {
    MeasuredData data;
    std::mt19937 random(5);
    std::normal_distribution<double> noise(0.0, 2.0);
    for (std::size_t i = 0; i < points; ++i) {
        const double x = 11.5 + span * static_cast<double>(i) / static_cast<double>(points);
        double y = 50.0 - 0.2 * x + noise(random);
        for (int line = 0; line < 40; ++line) {
            const double d = (x - (12.0 + 2.1 * line)) / 0.05;
            y += 1000.0 / (1 + line % 7) * std::exp(-0.5 * d * d);
        }
        data.twoTheta.push_back(x);
        data.intensity.push_back(y);
    }
    return data;
}

void findPeaksOf(benchmark::State& state) {
    const MeasuredData data =
        pattern(static_cast<std::size_t>(state.range(0)), static_cast<double>(state.range(1)));
    std::size_t found = 0;
    for (auto _ : state) found = findPeaks(data).size();
    state.counters["peaks"] = static_cast<double>(found);
}

}  // namespace

BENCHMARK(findPeaksOf)
    ->ArgsProduct({{300000, 1000000}, {90, 1}})
    ->ArgNames({"points", "degrees"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_MAIN();
