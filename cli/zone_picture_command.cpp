// The zone command of the picture program: draws the section's pattern.

#include "cli/offscreen_application.h"
#include "cli/output.h"
#include "cli/zone_command.h"
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

}  // namespace

int zonePictureCommand(const std::vector<std::string>& args) {
    const Options options(args, zoneOptions());
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
