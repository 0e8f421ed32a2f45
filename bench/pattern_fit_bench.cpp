// A measured pattern calibrated: the spots of a 2048 × 2048 16-bit photograph of the
// icosahedral fivefold section found and fitted, to the section given and with every preset
// tried (auto: the three sections computed too).

#include <benchmark/benchmark.h>

#include <random>

#include "physics/calculation.h"
#include "physics/one_site_model.h"
#include "physics/pattern_fit.h"
#include "physics/pattern_geometry.h"
#include "physics/spot_finder.h"
#include "synthetic_pattern.h"

using namespace tesral;
using namespace tesral::physics;

namespace {

const Calculation& calculation() {
    static const Calculation c = [] {
        RunInputs in;
        in.system = QuasicrystalSystem::Icosahedral;
        in.groupPosition = 6;  // Pm-3-5
        in.a = "4.56084";
        in.loopLimits.fill("12");
        in.thetaMin = std::string(1, '0');
        in.thetaMax = "1.2";
        in.qiMax = "1.5";
        std::string error;
        return *calculationFrom(in, oneSiteModel(in.system, "window", "Al", "electron:200"), error);
    }();
    return c;
}

const ZoneResult& fivefold() {
    static const ZoneResult z = [] {
        ZoneRequest request;
        parseZoneAxis("fivefold", QuasicrystalSystem::Icosahedral, request.axis);
        return zone(calculation(), request);
    }();
    return z;
}

const DiffractionImage& photograph() {
    static const DiffractionImage image = [] {
        PatternCalibration truth;
        truth.centreX = 1020.4;
        truth.centreY = 1030.7;
        truth.rotation = 17.0;
        truth.scale = 600.0;
        SyntheticPattern p;
        p.width = p.height = 2048;
        p.centreX = truth.centreX;
        p.centreY = truth.centreY;
        p.backgroundRadius = 500.0;
        p.beamSigma = 12.0;
        p.beamStopWidth = 40.0;
        p.beamStopAngleDeg = 250.0;
        std::mt19937 random(4);
        std::uniform_real_distribution<double> uniform(0.0, 1.0);
        for (const SectionPoint& s : sectionPoints(fivefold().section, true, 0.5)) {
            if (uniform(random) < 0.2) continue;
            const auto at = truth.pixelOf(s.u, s.v);
            p.spots.push_back({at[0], at[1], 3000.0 * s.strength, 1.8});
        }
        return renderPattern(p);
    }();
    return image;
}

void spotsAndFit(benchmark::State& state) {
    const DiffractionImage& image = photograph();
    const ZoneResult& zone = fivefold();
    std::size_t matched = 0, found = 0;
    for (auto _ : state) {
        const std::vector<MeasuredSpot> spots = findSpots(image);
        found = spots.size();
        matched = fitPattern(spots, zone.section, zone.intensities).matches.size();
    }
    state.counters["spots"] = static_cast<double>(found);
    state.counters["matched"] = static_cast<double>(matched);
}

void spotsAndAutoFit(benchmark::State& state) {
    const DiffractionImage& image = photograph();
    std::size_t matched = 0;
    for (auto _ : state)
        matched = fitMeasuredPattern(calculation(), kAutoAxis, findSpots(image)).matches.size();
    state.counters["matched"] = static_cast<double>(matched);
}

}  // namespace

BENCHMARK(spotsAndFit)->Unit(benchmark::kMillisecond);
BENCHMARK(spotsAndAutoFit)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
