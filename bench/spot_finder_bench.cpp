// The spot search of a 2048 × 2048 16-bit photograph with about 300 spots, a saturated direct
// beam, a beam stop and a diffuse background; the spot width given and estimated.

#include <benchmark/benchmark.h>

#include <cmath>

#include "physics/spot_finder.h"
#include "synthetic_pattern.h"

using namespace tesral::physics;

namespace {

const DiffractionImage& photograph() {
    static const DiffractionImage image = [] {
        SyntheticPattern p;
        p.width = p.height = 2048;
        p.centreX = 1020.4;
        p.centreY = 1030.7;
        p.backgroundRadius = 500.0;
        p.beamSigma = 12.0;
        p.beamStopWidth = 40.0;
        p.beamStopAngleDeg = 250.0;
        // A tenfold-looking spread: rings of ten spots.
        for (int ring = 1; ring <= 30; ++ring)
            for (int k = 0; k < 10; ++k) {
                const double r = 30.0 * ring, a = (k + 0.3 * ring) * M_PI / 5.0;
                p.spots.push_back({p.centreX + r * std::cos(a), p.centreY + r * std::sin(a),
                                   2000.0 + 30000.0 / ring, 1.8});
            }
        return renderPattern(p);
    }();
    return image;
}

void findSpotsOf(benchmark::State& state) {
    const DiffractionImage& image = photograph();
    SpotSearch search;
    search.spotSigma = static_cast<double>(state.range(0)) / 10.0;
    std::size_t found = 0;
    for (auto _ : state) found = findSpots(image, search).size();
    state.counters["spots"] = static_cast<double>(found);
}

}  // namespace

BENCHMARK(findSpotsOf)->Arg(18)->Arg(0)->ArgNames({"sigma_x10"})->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
