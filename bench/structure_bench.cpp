// A quasicrystal patch of about a million atoms: the three-dimensional Penrose tiling's
// sphere model, and the same patch with its exact window.
#include <benchmark/benchmark.h>

#include "physics/real_space_structure.h"

namespace {

using namespace tesral;
using namespace tesral::physics;

void patchOf(benchmark::State& state, DomainShape shape) {
    // a6D = 6.45 A; the sphere of R = 6.533 A has the triacontahedron's volume, so both models
    // hold 0.01622 atoms per cubic angstrom: 1.0e6 atoms within 245 A.
    const LatticeBasis basis = *buildLatticeBasis(QuasicrystalSystem::Icosahedral, 4.56084, 0.0,
                                                  MatrixConvention::Yamamoto);
    Site site;
    site.element = "Al";
    site.position.assign(6, 0.0);
    site.domain = {shape, 6.533, 1.0, 0, 0.0, 0.0};
    const StructureModel model{"bench", {site}, {}, {}, ""};
    PatchRequest request;
    request.radius = 245.0;
    request.workers = static_cast<unsigned>(state.range(0));
    std::size_t atoms = 0;
    for (auto _ : state) {
        const auto patch = structurePatch(model, QuasicrystalSystem::Icosahedral, basis,
                                          Centring::Primitive, request);
        atoms = patch.size();
        benchmark::DoNotOptimize(patch.data());
    }
    state.counters["atoms"] = static_cast<double>(atoms);
}

BENCHMARK_CAPTURE(patchOf, sphere, DomainShape::Sphere)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(patchOf, window, DomainShape::Window)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
