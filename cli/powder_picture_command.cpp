// The powder command of the picture program: the plot through the canvases of the plots library.

#include <QGuiApplication>
#include <cstdlib>
#include <iostream>

#include "cli/output.h"
#include "cli/powder_commands.h"
#include "cli/powder_job.h"
#include "physics/measured_pattern.h"
#include "plots/powder_picture.h"

namespace tesral::cli {
namespace {

QSize sizeFrom(const std::string& text) {
    const auto x = text.find('x');
    constexpr long kLargest = 16384;
    char* end = nullptr;
    const long w = x == std::string::npos ? 0 : std::strtol(text.c_str(), &end, 10);
    const bool wOk = x != std::string::npos && end == text.c_str() + x;
    const long h = wOk ? std::strtol(text.c_str() + x + 1, &end, 10) : 0;
    if (!wOk || *end != '\0' || w < 1 || h < 1 || w > kLargest || h > kLargest)
        throw UsageError("--size takes WIDTHxHEIGHT in pixels, each 1.." +
                         std::to_string(kLargest));
    return {static_cast<int>(w), static_cast<int>(h)};
}

int labelCountFrom(const Options& options) {
    if (!options.has("labels")) return 12;
    const std::string text = options.value("labels");
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || n < 0 || n > 10000)
        throw UsageError("--labels takes a number of lines, 0..10000");
    return static_cast<int>(n);
}

int drawPowder(const std::vector<std::string>& args) {
    const Options options(args, powderOptions());
    const std::optional<PictureFormat> format =
        pictureFormatOf(QString::fromStdString(options.value("output")));
    if (!format) throw UsageError("--output must name a picture file");
    PictureSettings picture;
    picture.size = sizeFrom(options.value("size", "1000x600"));
    picture.background = kWhite;
    picture.foreground = kBlack;
    const int labels = labelCountFrom(options);
    if (options.has("difference") && !options.has("measured"))
        throw UsageError("--difference needs --measured");
    std::optional<physics::MeasuredData> measured;
    if (options.has("measured"))
        refuseOutputOnto(options, options.value("measured"), "measured file");
    if (options.has("measured"))
        measured = physics::readMeasuredFile(options.value("measured"), options.has("peaks"));

    const PowderJob job = powderJobFrom(options);
    notePowderRun(job);
    std::vector<PowderTick> ticks;
    ticks.reserve(job.lines.size());
    for (const physics::PowderLine& line : job.lines)
        ticks.push_back({line.twoTheta, line.weight,
                         QString::fromStdString(line.label ? physics::labelText(*line.label)
                                                           : physics::indexText(line))});
    PowderPlotData data;
    data.start = job.request.grid.start;
    data.step = job.request.grid.step;
    data.profile = job.profile;
    data.ticks = ticks;
    data.labelCount = labels;
    std::vector<double> measuredIntensity;
    if (measured) {
        measuredIntensity = scaledTo(measured->intensity, 100.0);
        data.measuredTwoTheta = measured->twoTheta;
        data.measuredIntensity = measuredIntensity;
        data.difference = options.has("difference");
    }

    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << '\n';
    });
    int argc = 3;
    char name[] = "tesral-cli", platform[] = "-platform", offscreen[] = "offscreen";
    char* argv[] = {name, platform, offscreen, nullptr};
    QGuiApplication application(argc, argv);
    picture.font = defaultPlotFont();
    QString reason;
    const std::optional<QByteArray> bytes = renderPowderPicture(*format, data, picture, &reason);
    if (!bytes) throw std::runtime_error(reason.toStdString());
    writeOutput(options, std::string_view(bytes->constData(), bytes->size()));
    return 0;
}

}  // namespace

int powderPictureCommand(const std::vector<std::string>& args) {
    return powderCommand(args, drawPowder);
}

}  // namespace tesral::cli
