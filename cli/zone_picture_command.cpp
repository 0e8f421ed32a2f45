// The zone command of the picture program: draws the section's pattern.

#include <QFileInfo>

#include "cli/offscreen_application.h"
#include "cli/output.h"
#include "cli/zone_command.h"
#include "cli/zone_fit.h"
#include "physics/pattern_geometry.h"
#include "plots/measured_overlay.h"
#include "plots/zone_picture.h"

namespace tesral::cli {
namespace {

PlotOptions zonePlotOptions(const Options& options, bool intensities) {
    PlotOptions o;
    o.filledSpots = !options.has("unfilled");
    o.sizeByIntensity = intensities;
    o.sizeByInverseQi = !intensities;
    if (options.has("spot-size")) {
        const std::string rule = options.value("spot-size");
        if (rule == "intensity" && !intensities)
            throw UsageError("--spot-size intensity needs --model or --domain");
        if (rule != "intensity" && rule != "qi" && rule != "fixed")
            throw UsageError("--spot-size takes qi, fixed or intensity");
        o.sizeByIntensity = rule == "intensity";
        o.sizeByInverseQi = rule == "qi";
    }
    o.intensityThreshold = thresholdFrom(options, o.intensityThreshold);
    return o;
}

QString axisTitle(const ZoneRun& run, int n) {
    QString title = QStringLiteral("zone axis [");
    for (int i = 0; i < n; ++i) {
        if (i) title += QLatin1Char(' ');
        title += QString::number(static_cast<qlonglong>(run.axis[static_cast<std::size_t>(i)]));
    }
    title += QLatin1Char(']');
    if (!run.axisText.empty() && run.axisText.front() >= 'a' && run.axisText.front() <= 'z')
        title += QStringLiteral(" (") + QString::fromStdString(run.axisText) + QLatin1Char(')');
    return title;
}

/** The largest side of an overlay without --size, pixels. */
constexpr int kLargestOverlaySide = 1200;

/** The fit's picture: the photograph with the section's spots where the fit puts them. */
int overlayCommand(const Options& options) {
    const auto format = pictureFormatOf(QString::fromStdString(options.value("output")));
    const int labelled =
        value<int>(options, "labels", kZoneLabels, {0, 10000}, "takes a count of spots, 0..10000");
    const ZoneFitRun run = zoneFitFrom(options);
    const physics::PatternFit& fit = run.fit;
    const int w = run.image.width, h = run.image.height;
    const double shrink = std::min(1.0, static_cast<double>(kLargestOverlaySide) / std::max(w, h));
    PictureSettings settings;
    const PixelSize size =
        cli::size(options, {std::max(1, static_cast<int>(std::lround(w * shrink))),
                            std::max(1, static_cast<int>(std::lround(h * shrink))) + 24});
    settings.size = {size.width, size.height};
    if (whiteBackground(options)) {
        settings.background = kWhite;
        settings.foreground = kBlack;
    }
    const OffscreenApplication application;
    settings.font = defaultPlotFont();
    settings.header = fit.section.run.header;

    MeasuredOverlayData data;
    data.image = contrastImage(w, h, run.image.pixels, ImageContrast::Logarithmic);
    data.centreX = fit.calibration.centreX;
    data.centreY = fit.calibration.centreY;
    std::vector<bool> matched(fit.section.run.table.size(), false);
    for (const physics::SpotMatch& m : fit.matches) matched[m.row] = true;
    const float threshold = thresholdFrom(options, PlotOptions{}.intensityThreshold);
    const std::vector<physics::SectionPoint> points =
        physics::sectionPoints(fit.section, fit.intensities, threshold);
    // Unmatched section spots are drawn down to the weakest matched one: those one would see.
    double weakest = 0.0;
    for (const physics::SectionPoint& p : points)
        if (matched[p.row]) weakest = p.strength;
    int labels = 0;
    for (const physics::SectionPoint& p : points) {
        const auto at = fit.calibration.pixelOf(p.u, p.v);
        if (at[0] < -0.5 || at[1] < -0.5 || at[0] > w - 0.5 || at[1] > h - 0.5) continue;
        if (!matched[p.row] && p.strength < weakest) continue;
        OverlaySpot spot{at[0], at[1], matched[p.row], QString()};
        // The strongest matched spots carry their indices.
        if (spot.matched && labels < labelled) {
            spot.label =
                zoneIndexText(fit.section.run.table[p.row], fit.section.run.indexDimension);
            ++labels;
        }
        data.spots.push_back(spot);
    }
    data.title = QStringLiteral("%1 fitted to %2: %3 of %4 spots matched")
                     .arg(QFileInfo(QString::fromStdString(options.value("measured"))).fileName(),
                          QString::fromStdString(fit.axisName))
                     .arg(fit.matches.size())
                     .arg(run.spots.size());
    QString reason;
    const std::optional<QByteArray> bytes = renderMeasuredOverlay(*format, data, settings, &reason);
    if (!bytes) throw std::runtime_error(reason.toStdString());
    writeOutput(options, std::string_view(bytes->constData(), bytes->size()));
    return 0;
}

}  // namespace

int zonePictureCommand(const std::vector<std::string>& args) {
    const Options options(args, zoneOptions());
    if (zoneFits(options)) return overlayCommand(options);
    if (!options.has("output")) throw UsageError("--output FILE is needed");
    const auto format = pictureFormatOf(QString::fromStdString(options.value("output")));
    PictureSettings settings;
    const PixelSize size = cli::size(options, kZonePictureSize);
    settings.size = {size.width, size.height};
    if (whiteBackground(options)) {
        settings.background = kWhite;
        settings.foreground = kBlack;
    }
    const int labelled =
        value<int>(options, "labels", kZoneLabels, {0, 10000}, "takes a count of spots, 0..10000");
    const ZoneRun run = zoneRunFrom(options);
    const PlotOptions plot = zonePlotOptions(options, run.intensities);

    const OffscreenApplication application;
    settings.font = defaultPlotFont();
    settings.header = run.section.run.header;

    const RunResult& result = run.section.run;
    ZonePatternData data;
    data.table = result.table;
    data.spots = run.section.spots;
    data.statistics = result.statistics;
    data.indexDimension = result.indexDimension;
    data.title = axisTitle(run, result.indexDimension);
    data.cameraLength = run.cameraLength;
    data.wavelength = result.parameters.wavelength;
    data.labelled = labelled;
    QString reason;
    const std::optional<QByteArray> bytes =
        renderZonePicture(*format, data, plot, settings, &reason);
    if (!bytes) throw std::runtime_error(reason.toStdString());
    writeOutput(options, std::string_view(bytes->constData(), bytes->size()));
    return 0;
}

}  // namespace tesral::cli
