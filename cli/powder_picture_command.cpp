// The powder command of the picture program: the plot through the canvases of the plots library.

#include "cli/offscreen_application.h"
#include "cli/option_values.h"
#include "cli/output.h"
#include "cli/powder_commands.h"
#include "cli/powder_job.h"
#include "physics/measured_pattern.h"
#include "plots/powder_picture.h"

namespace tesral::cli {

int powderPictureCommand(const std::vector<std::string>& args) {
    const Options options(args, powderOptions());
    const std::optional<PictureFormat> format =
        pictureFormatOf(QString::fromStdString(options.value("output")));
    if (!format) throw UsageError("--output must name a picture file");
    PictureSettings picture;
    const PixelSize size = cli::size(options, kPowderPictureSize);
    picture.size = {size.width, size.height};
    picture.background = kWhite;
    picture.foreground = kBlack;
    const int labels = value<int>(options, "labels", kPowderLabels, {0, 10000},
                                  "takes a number of lines, 0..10000");
    if (options.has("difference") && !options.has("measured"))
        throw UsageError("--difference needs --measured");
    const bool compare = options.has("compare-quasicrystal");
    if (compare && !options.has("approximant"))
        throw UsageError("--compare-quasicrystal needs --approximant");
    std::optional<physics::MeasuredData> measured;
    if (options.has("measured"))
        refuseOutputOnto(options, options.value("measured"), "measured file");
    if (options.has("measured")) {
        measured = physics::readMeasuredFile(options.value("measured"), options.has("peaks"));
        if (!measured->note.empty()) printNote(measured->note);
    }

    const PowderJob job = powderJobFrom(options);
    notePowderRun(job);
    std::optional<PowderJob> quasicrystal;
    if (compare) {
        const physics::TwoThetaGrid grid = gridFrom(options);
        quasicrystal = powderJobFor(options, grid.start, grid.stop, true, true);
        printNote("the quasicrystal: " + std::to_string(quasicrystal->run.table.size()) +
                  " reflections in " + std::to_string(quasicrystal->lines.size()) + " lines");
    }
    std::vector<PowderTick> ticks;
    ticks.reserve(job.lines.size());
    for (const physics::PowderLine& line : job.lines)
        ticks.push_back(
            {line.twoTheta, line.weight, QString::fromStdString(physics::lineName(line))});
    PowderPlotData data;
    data.start = job.request.grid.start;
    data.step = job.request.grid.step;
    data.profile = job.profile;
    data.ticks = ticks;
    data.labelCount = labels;
    if (quasicrystal) {
        data.compared = quasicrystal->profile;
        data.name = QStringLiteral("approximant ") +
                    QString::fromStdString(approximantText(*job.run.parameters.approximant));
        data.comparedName = QStringLiteral("quasicrystal");
    }
    std::vector<double> measuredIntensity;
    if (measured) {
        measuredIntensity = scaledTo(measured->intensity, 100.0);
        data.measuredTwoTheta = measured->twoTheta;
        data.measuredIntensity = measuredIntensity;
        data.difference = options.has("difference");
    }

    const OffscreenApplication application;
    picture.font = defaultPlotFont();
    QString reason;
    const std::optional<QByteArray> bytes = renderPowderPicture(*format, data, picture, &reason);
    if (!bytes) throw std::runtime_error(reason.toStdString());
    writeOutput(options, std::string_view(bytes->constData(), bytes->size()));
    return 0;
}

}  // namespace tesral::cli
