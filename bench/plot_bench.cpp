// Drawing speed of the 3D plot against bare QPainter ellipses.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <random>

#include "engine/generation.h"
#include "engine/projected_points.h"
#include "plots/image_canvas.h"
#include "plots/painter_canvas.h"
#include "plots/plot_drawing.h"
#include "plots/rotation.h"

using namespace tesral;

namespace {

const QSize kPicture(1000, 800);
constexpr double kTwipsPerPixel = 15.0;

/** A cloud of reflections inside the unit ball, qi 0.15..1 (spots of 1.5 to 4.3 pixels). */
struct Cloud {
    ReflectionTable table;
    ProjectedPoints points;
    TableStatistics statistics;

    explicit Cloud(std::size_t n) {
        std::mt19937 rng(42);
        std::uniform_real_distribution<float> u(-1.0f, 1.0f), qi(0.15f, 1.0f), theta(1, 30);
        std::uniform_int_distribution<int> direction(0, 2);
        while (table.size() < n) {
            const float x = u(rng), y = u(rng), z = u(rng);
            if (x * x + y * y + z * z > 1.0f) continue;
            ReflectionRecord r;
            r.v[kX] = x;
            r.v[kY] = y;
            r.v[kZ] = z;
            r.v[kQi] = qi(rng);
            r.v[kTheta] = theta(rng);
            r.directionClass = static_cast<DirectionClass>(direction(rng));
            points.push_back({{x, y, z}, static_cast<std::uint32_t>(table.size())});
            table.push_back(r);
        }
        statistics.maxTheta = 30.0f;
        statistics.maxQi = 1.0f;
        statistics.minPositiveQi = 0.15f;
        statistics.maxX = statistics.maxY = statistics.maxZ = 1.0f;
        sortByDepth(points);
    }
    PlotData data() const { return {table, statistics, points, 5}; }
};

const Cloud& cloud(std::size_t n) {
    static std::map<std::size_t, Cloud> clouds;
    auto it = clouds.find(n);
    if (it == clouds.end()) it = clouds.emplace(n, Cloud(n)).first;
    return it->second;
}

PlotTarget target() {
    PlotTarget t;
    t.width = kPicture.width() * kTwipsPerPixel;
    t.height = kPicture.height() * kTwipsPerPixel;
    return t;
}

/** The 3D plot into a new 1000 x 800 picture, as the plot box redraws. */
void BM_Plot3D(benchmark::State& state) {
    const Cloud& c = cloud(static_cast<std::size_t>(state.range(0)));
    const PlotOptions options;
    for (auto _ : state) {
        QImage image = ImageCanvas::makeImage(kPicture, 1.0);
        ImageCanvas canvas(image, kTwipsPerPixel);
        if (!draw3D(c.data(), options, target(), canvas)) state.SkipWithError("not drawn");
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

/** The same with grey levels and direction colours, so the fill changes from spot to spot. */
void BM_Plot3DColoured(benchmark::State& state) {
    const Cloud& c = cloud(static_cast<std::size_t>(state.range(0)));
    PlotOptions options;
    options.colourByTheta = true;
    options.highlightMainSpots = true;
    for (auto _ : state) {
        QImage image = ImageCanvas::makeImage(kPicture, 1.0);
        ImageCanvas canvas(image, kTwipsPerPixel);
        draw3D(c.data(), options, target(), canvas);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

/** The reference: the plot's circles as bare anti-aliased QPainter ellipses. */
void BM_BareEllipses(benchmark::State& state) {
    const Cloud& c = cloud(static_cast<std::size_t>(state.range(0)));
    // Centres and radii in pixels, worked out before timing.
    const double scale = kPicture.width() / 2.0 * 0.9;
    std::vector<QPointF> centres;
    std::vector<double> radii;
    for (const ProjectedPoint& p : c.points) {
        centres.emplace_back(scale * p[1] + kPicture.width() / 2.0,
                             scale * p[2] + kPicture.height() / 2.0);
        const auto& r = c.table[p.row];
        radii.push_back(1.0 / r.qi() / 2.0 + 1.0);
    }
    for (auto _ : state) {
        QImage image(kPicture, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 1.0));
        painter.setBrush(Qt::white);
        for (std::size_t i = 0; i < centres.size(); ++i)
            painter.drawEllipse(centres[i], radii[i], radii[i]);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

/** The 3D plot through the QPainter canvas, as for SVG pictures and the printer. */
void BM_Plot3DPainterCanvas(benchmark::State& state) {
    const Cloud& c = cloud(static_cast<std::size_t>(state.range(0)));
    const PlotOptions options;
    for (auto _ : state) {
        QImage image(kPicture, QImage::Format_RGB32);
        QPainter painter(&image);
        PainterCanvas canvas(painter, QSizeF(kPicture), kTwipsPerPixel);
        draw3D(c.data(), options, target(), canvas);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

/** One step of a left drag: two small turns, a depth sort and a redraw. */
void BM_DragStep(benchmark::State& state) {
    Cloud c = cloud(static_cast<std::size_t>(state.range(0)));
    const PlotOptions options;
    for (auto _ : state) {
        Rotate(c.points, 3, 0.9f);
        Rotate(c.points, 2, 0.4f);
        sortByDepth(c.points);
        QImage image = ImageCanvas::makeImage(kPicture, 1.0);
        ImageCanvas canvas(image, kTwipsPerPixel);
        draw3D(c.data(), options, target(), canvas);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

/**
 * The window's largest usual case: octagonal P8/mmm, every loop limit 10, theta 0 to 180,
 * qi max 1E9: 4,084,100 rows, with its points depth-sorted as after a run.
 */
struct FourMillion {
    RunResult run;
    ProjectedPoints points;

    FourMillion() {
        RunInputs inputs;
        inputs.system = QuasicrystalSystem::Octagonal;
        inputs.groupPosition = 31;
        // std::string values: assigning the literals trips a GCC 12 -Wrestrict false alarm.
        for (int i = 0; i < 5; ++i)
            inputs.loopLimits[static_cast<std::size_t>(i)] = std::string("10");
        inputs.loopLimits[5] = std::string("0");
        inputs.thetaMin = std::string("0");
        inputs.thetaMax = std::string("180");
        inputs.qiMax = std::string("1E9");
        run = runGeneration(inputs);
        points = projectedPointsOf(run.table);
        sortByDepth(points);
    }
    PlotData data() const { return {run.table, run.statistics, points, run.indexDimension}; }
};

const FourMillion& fourMillion() {
    static const FourMillion rows;
    return rows;
}

/** One redraw of a plot box of the window (560 x 420) as the slider or inversion asks it. */
void redrawBox(benchmark::State& state, PlotKind kind, const PlotOptions& options,
               QRgb background) {
    const FourMillion& rows = fourMillion();
    PlotTarget t;
    t.width = 560 * kTwipsPerPixel;
    t.height = 420 * kTwipsPerPixel;
    t.background = background;
    t.foreground = background == kBlack ? kWhite : kBlack;
    for (auto _ : state) {
        QImage image = ImageCanvas::makeImage(QSize(560, 420), 1.0);
        ImageCanvas canvas(image, kTwipsPerPixel);
        if (!drawPlot(kind, rows.data(), options, t, canvas)) state.SkipWithError("not drawn");
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["rows"] = static_cast<double>(rows.run.table.size());
}

void BM_FourMillion2D(benchmark::State& state) {
    redrawBox(state, PlotKind::ZeroLayer, PlotOptions(), kBlack);
}

void BM_FourMillion3D(benchmark::State& state) {
    redrawBox(state, PlotKind::ThreeD, PlotOptions(), kBlack);
}

/** Both plot boxes of the 4-million-row run drawn with these options and colours. */
void redrawBothBoxes(benchmark::State& state, const PlotOptions& options, QRgb background,
                     QRgb foreground) {
    const FourMillion& rows = fourMillion();
    PlotTarget t;
    t.width = 560 * kTwipsPerPixel;
    t.height = 420 * kTwipsPerPixel;
    t.background = background;
    t.foreground = foreground;
    for (auto _ : state) {
        for (PlotKind kind : {PlotKind::ZeroLayer, PlotKind::ThreeD}) {
            QImage image = ImageCanvas::makeImage(QSize(560, 420), 1.0);
            ImageCanvas canvas(image, kTwipsPerPixel);
            drawPlot(kind, rows.data(), options, t, canvas);
            benchmark::DoNotOptimize(image.constBits());
        }
    }
}

/** Both boxes after one step of the spot slider (10 to 11). */
void BM_FourMillionSliderStep(benchmark::State& state) {
    PlotOptions options;
    options.spotSlider = 11;
    redrawBothBoxes(state, options, kBlack, kWhite);
}

/** Both boxes on a white background. */
void BM_FourMillionInvertBackground(benchmark::State& state) {
    redrawBothBoxes(state, PlotOptions(), kWhite, kBlack);
}

}  // namespace

BENCHMARK(BM_Plot3D)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareEllipses)->Arg(20000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plot3DColoured)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plot3DPainterCanvas)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragStep)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FourMillion2D)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_FourMillion3D)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_FourMillionSliderStep)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_FourMillionInvertBackground)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // Fonts and painting need a GUI application; no display is needed.
    int qtArgc = 3;
    char name[] = "plot_bench", platform[] = "-platform", offscreen[] = "offscreen";
    char* qtArgv[] = {name, platform, offscreen, nullptr};
    QGuiApplication application(qtArgc, qtArgv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
