#include "cli/plot_command.h"

#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <new>

#include "cli/model_options.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/picture_memory.h"
#include "cli/run_options.h"
#include "engine/projected_points.h"
#include "plots/plot_picture.h"
#include "plots/rotation.h"

namespace tesral::cli {
namespace {

/** One --rotate: an axis (1 viewing direction, 2 horizontal, 3 vertical) and degrees. */
struct Turn {
    int axis = 3;
    float degrees = 0.0f;
};

struct PlotRequest {
    PictureFormat format = PictureFormat::Png;
    PictureSettings picture;
    PlotOptions options;
    std::vector<Turn> turns;
};

KnownOptions plotOptions(PlotKind kind) {
    KnownOptions known;
    known.valued = runOptionNames();
    for (std::string& name : modelOptionNames()) known.valued.push_back(std::move(name));
    for (const char* name :
         {"output", "size", "background", "colour", "spots", "zoom", "spot-size", "threshold"})
        known.valued.emplace_back(name);
    known.flags = {"unfilled", "highlight-main", "highlight-directions", "no-size-by-qi",
                   "indices"};
    if (kind == PlotKind::ThreeD) known.repeatable = {"rotate"};
    return known;
}

/** A whole decimal number, or nothing. */
bool wholeNumber(const std::string& text, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0';
}

/** A finite number with "." as the decimal point, or nothing. */
bool realNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value);
}

QSize sizeFrom(const std::string& text) {
    const auto x = text.find('x');
    long w = 0, h = 0;
    // Larger pictures would need gigabytes.
    constexpr long kLargest = 16384;
    if (x == std::string::npos || !wholeNumber(text.substr(0, x), w) ||
        !wholeNumber(text.substr(x + 1), h) || w < 1 || h < 1 || w > kLargest || h > kLargest)
        throw UsageError("--size takes WIDTHxHEIGHT in pixels, each 1.." +
                         std::to_string(kLargest));
    return {static_cast<int>(w), static_cast<int>(h)};
}

Turn turnFrom(const std::string& text) {
    const auto colon = text.find(':');
    long axis = 0;
    double degrees = 0;
    if (colon == std::string::npos || !wholeNumber(text.substr(0, colon), axis) || axis < 1 ||
        axis > 3 || !realNumber(text.substr(colon + 1), degrees) ||
        !std::isfinite(static_cast<float>(degrees)) ||
        (degrees != 0 && static_cast<float>(degrees) == 0.0f))
        throw UsageError("--rotate takes AXIS:DEGREES with the axis 1, 2 or 3");
    return {static_cast<int>(axis), static_cast<float>(degrees)};
}

PlotRequest requestFrom(const Options& options, PlotKind kind) {
    PlotRequest request;
    if (!options.has("output")) throw UsageError("--output FILE is needed");
    const auto format = pictureFormatOf(QString::fromStdString(options.value("output")));
    if (!format) throw UsageError("--output must name a .png, .bmp, .svg, .wmf or .pdf file");
    request.format = *format;
    request.picture.size = sizeFrom(options.value("size", "800x800"));

    const std::string background = options.value("background", "black");
    if (background == "white") {
        request.picture.background = kWhite;
        request.picture.foreground = kBlack;
    } else if (background != "black") {
        throw UsageError("--background takes black or white");
    }

    PlotOptions& o = request.options;
    o.filledSpots = !options.has("unfilled");
    o.highlightMainSpots = options.has("highlight-main");
    o.highlightDirections = options.has("highlight-directions");
    o.sizeByInverseQi = !options.has("no-size-by-qi");
    if (options.has("spot-size")) {
        const std::string rule = options.value("spot-size");
        if (rule == "intensity") {
            if (!options.has("model") && !options.has("domain"))
                throw UsageError("--spot-size intensity needs --model or --domain");
            o.sizeByIntensity = true;
            o.sizeByInverseQi = false;
        } else if (rule == "qi") {
            o.sizeByInverseQi = true;
        } else if (rule == "fixed") {
            o.sizeByInverseQi = false;
        } else {
            throw UsageError("--spot-size takes qi, fixed or intensity");
        }
    }
    if (options.has("threshold")) {
        double percent = 0;
        if (!realNumber(options.value("threshold"), percent) || percent < 0 || percent > 100)
            throw UsageError("--threshold takes a percentage of the strongest spot, 0..100");
        o.intensityThreshold = static_cast<float>(percent);
    }
    o.showIndices = options.has("indices");
    if (options.has("colour")) {
        const std::string colour = options.value("colour");
        if (colour == "theta")
            o.colourByTheta = true;
        else if (colour == "qi")
            o.colourByInverseQi = true;
        else
            throw UsageError("--colour takes theta or qi");
    }
    if (options.has("spots")) {
        long slider = 0;
        if (!wholeNumber(options.value("spots"), slider) || slider < 0 ||
            slider > kSpotSliderMaximum)
            throw UsageError("--spots takes the slider position 0..40");
        o.spotSlider = static_cast<int>(slider);
    }
    if (options.has("zoom")) {
        double zoom = 0;
        // Zoom factors are single precision; one that reads as 0 or infinity is a mistake.
        if (!realNumber(options.value("zoom"), zoom) || zoom <= 0 || zoom > 1e30 ||
            static_cast<float>(zoom) <= 0.0f)
            throw UsageError("--zoom takes a positive factor");
        zoomFactor(o, kind) = static_cast<float>(zoom);
    }
    if (kind == PlotKind::ThreeD && options.has("rotate"))
        for (const std::string& text : options.all("rotate"))
            request.turns.push_back(turnFrom(text));
    return request;
}

int plotCommand(const std::vector<std::string>& args, PlotKind kind) {
    const Options options(args, plotOptions(kind));
    PlotRequest request = requestFrom(options, kind);
    const RunInputs inputs = runInputsFrom(options);
    const std::optional<physics::StructureModel> model = modelFrom(options, inputs.system);
    RunResult result;
    ProjectedPoints points;
    runForCommand(inputs, model, maxRowsFrom(options), result, &points);

    std::span<ProjectedPoint> rows(points);
    for (const Turn& turn : request.turns) {
        Rotate(rows, turn.axis, turn.degrees);
        sortByDepth(rows);
    }

    // Checked before drawing: a painter cannot end cleanly once memory has run out.
    // The 2D plot draws the zero layer only: the rows whose last index is 0.
    const int last = result.indexDimension - 1;
    const std::size_t spots =
        kind == PlotKind::ThreeD || last < 0
            ? points.size()
            : static_cast<std::size_t>(
                  std::count_if(result.table.begin(), result.table.end(),
                                [last](const ReflectionRecord& r) { return r.h(last) == 0.0f; }));
    const auto room = memoryHeadroom();
    if (room && pictureBytes(request.format, spots, request.picture.size,
                             request.options.showIndices) > *room)
        throw std::bad_alloc();

    // Fonts and the SVG writer need a GUI application; no display is needed.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << '\n';
    });
    int argc = 3;
    char name[] = "tesral-cli", platform[] = "-platform", offscreen[] = "offscreen";
    char* argv[] = {name, platform, offscreen, nullptr};
    QGuiApplication application(argc, argv);
    request.picture.font = defaultPlotFont();
    request.picture.header = result.header;

    const PlotData data{result.table, result.statistics, points, result.indexDimension};
    QString reason;
    const std::optional<QByteArray> bytes =
        renderPlotPicture(request.format, kind, data, request.options, request.picture, &reason);
    if (!bytes) throw std::runtime_error(reason.toStdString());
    writeOutput(options, std::string_view(bytes->constData(), bytes->size()));
    return 0;
}

}  // namespace

int plot2dCommand(const std::vector<std::string>& args) {
    return plotCommand(args, PlotKind::ZeroLayer);
}

int plot3dCommand(const std::vector<std::string>& args) {
    return plotCommand(args, PlotKind::ThreeD);
}

}  // namespace tesral::cli
