// One exact-window transform per reflection: the cost the intensity pass adds per row and site.
#include <benchmark/benchmark.h>

#include <vector>

#include "physics/exact_window.h"

namespace {

using namespace tesral;
using namespace tesral::physics;

void transformOf(benchmark::State& state, QuasicrystalSystem system, int pentagon) {
    const LatticeBasis basis = *buildLatticeBasis(system, 4.56, 5.1, MatrixConvention::Yamamoto);
    const auto window = exactWindow(system, basis, {DomainShape::Window, 0.0, 1.0, pentagon});
    // A spread of H-perp up to 0.5 1/A, special directions included.
    std::vector<double> ks;
    for (int i = 0; i < 1024; ++i)
        for (int d = 0; d < 3; ++d)
            ks.push_back(0.5 * (((i * 7919 + d * 104729) % 2001) / 1000.0 - 1.0));
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(window->transform(&ks[3 * i]));
        i = (i + 1) % 1024;
    }
}

BENCHMARK_CAPTURE(transformOf, octagon, QuasicrystalSystem::Octagonal, 0);
BENCHMARK_CAPTURE(transformOf, pentagon, QuasicrystalSystem::Decagonal, 2);
BENCHMARK_CAPTURE(transformOf, dodecagon, QuasicrystalSystem::Dodecagonal, 0);
BENCHMARK_CAPTURE(transformOf, triacontahedron, QuasicrystalSystem::Icosahedral, 0);

}  // namespace

BENCHMARK_MAIN();
