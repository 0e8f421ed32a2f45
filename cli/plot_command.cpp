#include "cli/plot_command.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "cli/model_options.h"
#include "cli/offscreen_application.h"
#include "cli/option_values.h"
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

Turn turnFrom(const std::string& text) {
    const auto colon = text.find(':');
    const std::optional<long> axis =
        colon == std::string::npos ? std::nullopt : wholeNumber(text.substr(0, colon));
    const std::optional<double> degrees =
        colon == std::string::npos ? std::nullopt : realNumber(text.substr(colon + 1));
    // Degrees are single precision; one that reads as 0 or infinity is a mistake.
    const float turn = degrees ? static_cast<float>(*degrees) : 0.0f;
    if (!axis || *axis < 1 || *axis > 3 || !degrees || !std::isfinite(turn) ||
        (*degrees != 0 && turn == 0.0f))
        throw UsageError("--rotate takes AXIS:DEGREES with the axis 1, 2 or 3");
    return {static_cast<int>(*axis), turn};
}

PlotRequest requestFrom(const Options& options, PlotKind kind) {
    PlotRequest request;
    if (!options.has("output")) throw UsageError("--output FILE is needed");
    const auto format = pictureFormatOf(QString::fromStdString(options.value("output")));
    if (!format) throw UsageError("--output must name a .png, .bmp, .svg, .wmf or .pdf file");
    request.format = *format;
    const PixelSize size = cli::size(options, kPlotPictureSize);
    request.picture.size = {size.width, size.height};
    if (whiteBackground(options)) {
        request.picture.background = kWhite;
        request.picture.foreground = kBlack;
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
    o.intensityThreshold = thresholdFrom(options, o.intensityThreshold);
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
    o.spotSlider = value<int>(options, "spots", o.spotSlider, {0, kSpotSliderMaximum},
                              "takes the slider position 0..40");
    // Zoom factors are single precision: one that reads as 0 or infinity is a mistake.
    zoomFactor(o, kind) =
        value<float>(options, "zoom", zoomFactor(o, kind),
                     {.low = 0, .high = 1e30, .aboveLow = true}, "takes a positive factor");
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
    const OffscreenApplication application;
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
