// The powder pattern after a run: lines and profile, and the powder plot redrawn with a large
// measured pattern.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>

#include "engine/generation.h"
#include "engine/groups.h"
#include "physics/intensity.h"
#include "physics/one_site_model.h"
#include "physics/powder_lines.h"
#include "physics/powder_profile.h"
#include "plots/image_canvas.h"
#include "plots/picture_settings.h"
#include "plots/powder_drawing.h"

using namespace tesral;
using namespace tesral::physics;

namespace {

/** A completed run with the intensities of one site. */
RunResult runWithIntensities(RunInputs in, const char* domain, bool wholeOrbits) {
    std::string error;
    RunParameters p = *readRunParameters(in, error);
    if (wholeOrbits) widenToWholeOrbits(p);
    RunResult run = runPrepared(prepareRun(p, buildRunHeader(in)));
    fillIntensities(oneSiteModel(in.system, domain), run);
    return run;
}

/** Icosahedral i-AlCuFe (a6D = 6.32 A) at the start-up windows. */
const RunResult& icosahedralRun() {
    static const RunResult run = [] {
        RunInputs in;
        in.system = QuasicrystalSystem::Icosahedral;
        in.groupPosition = defaultGroupPosition(in.system);
        in.a = "4.46891";
        return runWithIntensities(in, "window", true);
    }();
    return run;
}

/** --system octagonal --limits 8,8,8,8,8 --thmax 180 --qimax 1E9: 1,419,800 rows. */
const RunResult& largeRun() {
    static const RunResult run = [] {
        RunInputs in;
        in.system = QuasicrystalSystem::Octagonal;
        in.groupPosition = defaultGroupPosition(in.system);
        in.loopLimits.fill("8");
        in.thetaMax = "180";
        in.qiMax = "1E9";
        return runWithIntensities(in, "disc:3", false);
    }();
    return run;
}

void pattern(benchmark::State& state, const RunResult& run, ProfileShape shape) {
    const TwoThetaGrid grid{10.0, 120.0, 0.01};
    for (auto _ : state) {
        const std::vector<PowderLine> lines = powderLines(run, LpSettings{});
        const std::vector<double> y = powderProfile(lines, grid, shape);
        benchmark::DoNotOptimize(y.data());
        state.counters["reflections"] = static_cast<double>(run.table.size());
        state.counters["lines"] = static_cast<double>(lines.size());
        state.counters["points"] = static_cast<double>(y.size());
    }
}

void BM_IcosahedralPatternAfterRun(benchmark::State& state) {
    pattern(state, icosahedralRun(), ProfileShape{});
}

void BM_PatternFromMillionReflections(benchmark::State& state) {
    pattern(state, largeRun(), ProfileShape{});
}

/** The profile alone of fixed lines: its cost follows the width (W = arg / 1000 deg^2). */
void BM_ProfileByWidth(benchmark::State& state) {
    static const std::vector<PowderLine> lines = powderLines(largeRun(), LpSettings{});
    ProfileShape shape;
    shape.w = static_cast<double>(state.range(0)) / 1000.0;
    const TwoThetaGrid grid{10.0, 120.0, 0.01};
    for (auto _ : state) benchmark::DoNotOptimize(powderProfile(lines, grid, shape).data());
    state.counters["lines"] = static_cast<double>(lines.size());
}

/** The window's powder view (1000 x 600) redrawn with a measured pattern of 100,000 points. */
void BM_RedrawWithMeasured(benchmark::State& state) {
    static const std::vector<PowderLine> lines = powderLines(icosahedralRun(), LpSettings{});
    static const std::vector<double> profile =
        powderProfile(lines, TwoThetaGrid{10.0, 120.0, 0.01}, ProfileShape{});
    std::vector<PowderTick> ticks;
    ticks.reserve(lines.size());
    for (const PowderLine& l : lines)
        ticks.push_back({l.twoTheta, l.weight, QString::fromStdString(indexText(l))});
    std::vector<double> x, y;
    x.reserve(100000);
    y.reserve(100000);
    for (int i = 0; i < 100000; ++i) {
        x.push_back(10.0 + 0.0011 * i);
        y.push_back(50.0 + 40.0 * std::sin(i * 0.01));
    }
    PowderPlotData data;
    data.start = 10.0;
    data.step = 0.01;
    data.profile = profile;
    data.ticks = ticks;
    data.measuredTwoTheta = x;
    data.measuredIntensity = y;
    data.difference = true;
    PictureSettings settings;
    settings.size = QSize(1000, 600);
    settings.font = defaultPlotFont();
    const PlotTarget target = pictureTarget(settings);
    QImage image = ImageCanvas::makeImage(settings.size, 1.0);
    for (auto _ : state) {
        ImageCanvas canvas(image, target.twipsPerPixelX);
        drawPowderPlot(data, target, canvas);
        benchmark::DoNotOptimize(image.constBits());
    }
}

}  // namespace

BENCHMARK(BM_IcosahedralPatternAfterRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternFromMillionReflections)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ProfileByWidth)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawWithMeasured)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // Fonts and painting need a GUI application; no display is needed.
    int qtArgc = 3;
    char name[] = "powder_bench", platform[] = "-platform", offscreen[] = "offscreen";
    char* qtArgv[] = {name, platform, offscreen, nullptr};
    QGuiApplication application(qtArgc, qtArgv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
