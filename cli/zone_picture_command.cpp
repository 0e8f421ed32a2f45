// The zone command of the picture program: draws the section's pattern.

#include <QGuiApplication>
#include <cmath>
#include <cstdlib>
#include <iostream>

#include "cli/output.h"
#include "cli/zone_command.h"
#include "plots/zone_picture.h"

namespace tesral::cli {
namespace {

QSize pictureSize(const std::string& text) {
    const auto x = text.find('x');
    // Each part is kept while strtol's end pointer into it is read.
    const std::string width = x == std::string::npos ? std::string() : text.substr(0, x);
    const std::string height = x == std::string::npos ? std::string() : text.substr(x + 1);
    char* end = nullptr;
    const long w = width.empty() ? 0 : std::strtol(width.c_str(), &end, 10);
    const bool wOk = end && *end == '\0';
    end = nullptr;
    const long h = height.empty() ? 0 : std::strtol(height.c_str(), &end, 10);
    if (!wOk || !end || *end != '\0' || w < 1 || h < 1 || w > 16384 || h > 16384)
        throw UsageError("--size takes WIDTHxHEIGHT in pixels, each 1..16384");
    return {static_cast<int>(w), static_cast<int>(h)};
}

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
    if (options.has("threshold")) {
        char* end = nullptr;
        const std::string text = options.value("threshold");
        const double p = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || !(p >= 0.0 && p <= 100.0))
            throw UsageError("--threshold takes a percentage of the strongest spot, 0..100");
        o.intensityThreshold = static_cast<float>(p);
    }
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
    if (!zonePictureOutput(options)) {
        refusePictureOptions(options, {"size"});
        return writeZoneRows(options, zoneRunFrom(options));
    }
    const auto format = pictureFormatOf(QString::fromStdString(options.value("output")));
    PictureSettings settings;
    settings.size = pictureSize(options.value("size", "800x800"));
    const std::string background = options.value("background", "black");
    if (background == "white") {
        settings.background = kWhite;
        settings.foreground = kBlack;
    } else if (background != "black") {
        throw UsageError("--background takes black or white");
    }
    int labelled = 8;
    if (options.has("labels")) {
        char* end = nullptr;
        const std::string text = options.value("labels");
        const long n = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || n < 0 || n > 10000)
            throw UsageError("--labels takes a count of spots, 0..10000");
        labelled = static_cast<int>(n);
    }
    const ZoneRun run = zoneRunFrom(options);
    const PlotOptions plot = zonePlotOptions(options, run.intensities);

    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << '\n';
    });
    int argc = 3;
    char name[] = "tesral-cli", platform[] = "-platform", offscreen[] = "offscreen";
    char* argv[] = {name, platform, offscreen, nullptr};
    QGuiApplication application(argc, argv);
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
