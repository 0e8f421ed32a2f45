// Drawing a zone-axis pattern against the 2D plot of the same reflections: the decagonal
// periodic section is the zero layer, drawn both ways into an 800 x 800 bitmap.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <string>

#include "plots/image_canvas.h"
#include "plots/picture_settings.h"
#include "plots/plot_drawing.h"
#include "plots/zone_drawing.h"

using namespace tesral;

namespace {

/** About 190,000 reflections, all of them in the zero layer. */
struct Layer {
    RunResult run;
    ZoneSection section;

    Layer() {
        RunInputs in;
        in.groupPosition = 0;
        in.loopLimits = {"10", "10", "10", "10", "0", "0"};
        in.thetaMin = std::string("0");
        in.thetaMax = std::string("180");
        in.qiMax = std::string("1e9");
        run = runGeneration(in);
        section = computeZoneSection(prepareRun(in), {{0, 0, 0, 0, 1, 0}, 0.0, std::nullopt});
    }
};

const Layer& layer() {
    static const Layer l;
    return l;
}

PlotTarget target() {
    PictureSettings settings;
    settings.size = QSize(800, 800);
    return pictureTarget(settings);
}

void BM_ZonePattern(benchmark::State& state) {
    const Layer& l = layer();
    ZonePatternData data;
    data.table = l.section.run.table;
    data.spots = l.section.spots;
    data.statistics = l.section.run.statistics;
    data.indexDimension = 5;
    PlotOptions options;
    QImage image = ImageCanvas::makeImage(QSize(800, 800), 1.0);
    for (auto _ : state) {
        ImageCanvas canvas(image, 15.0);
        benchmark::DoNotOptimize(drawZonePattern(data, options, target(), canvas));
    }
    state.counters["spots"] = static_cast<double>(data.table.size());
}
BENCHMARK(BM_ZonePattern)->Unit(benchmark::kMillisecond);

void BM_ZeroLayerPlot(benchmark::State& state) {
    const Layer& l = layer();
    const PlotData data{l.run.table, l.run.statistics, {}, 5};
    PlotOptions options;
    QImage image = ImageCanvas::makeImage(QSize(800, 800), 1.0);
    for (auto _ : state) {
        ImageCanvas canvas(image, 15.0);
        benchmark::DoNotOptimize(drawZeroLayer(data, options, target(), canvas));
    }
    state.counters["spots"] = static_cast<double>(data.table.size());
}
BENCHMARK(BM_ZeroLayerPlot)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    int qtArgc = 3;
    char name[] = "zone_drawing_bench", platform[] = "-platform", offscreen[] = "offscreen";
    char* qtArgv[] = {name, platform, offscreen, nullptr};
    QGuiApplication application(qtArgc, qtArgv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
