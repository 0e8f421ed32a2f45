// The refine command of the picture program: the outputs of the text command and the curves.

#include <algorithm>
#include <cstdio>

#include "cli/offscreen_application.h"
#include "cli/option_values.h"
#include "cli/output.h"
#include "cli/powder_job.h"
#include "cli/refine_commands.h"
#include "cli/refine_job.h"
#include "plots/powder_picture.h"
#include "report/safe_file.h"

namespace tesral::cli {
namespace {

/** `y` at `x` (increasing) resampled on the even grid from x.front() with `step`. */
std::vector<double> resampled(const std::vector<double>& x, const std::vector<double>& y,
                              double step) {
    std::vector<double> out;
    std::size_t k = 0;
    for (double t = x.front(); t <= x.back() + 1e-9 * step; t = x.front() + step * out.size()) {
        while (k + 2 < x.size() && x[k + 1] < t) ++k;
        const double span = x[k + 1] - x[k];
        const double f = span > 0.0 ? std::clamp((t - x[k]) / span, 0.0, 1.0) : 0.0;
        out.push_back(y[k] + f * (y[k + 1] - y[k]));
    }
    return out;
}

}  // namespace

int refinePictureCommand(const std::vector<std::string>& args) {
    const Options options(args, refineOptions());
    const std::string plot = options.value("plot");
    const std::optional<PictureFormat> format = pictureFormatOf(QString::fromStdString(plot));
    if (!format) throw UsageError("--plot must name a picture file");
    refuseOutputOnto(options, plot, "--plot file");
    const PixelSize size = cli::size(options, kPowderPictureSize);
    const RefineJob job = refineJobFrom(options);
    if (job.data.kind != physics::ObservationKind::Pattern)
        throw UsageError("--plot draws a whole pattern; this file is a list");

    // Measured and calculated on one scale, the measured highest point 100.
    const std::vector<double>& x = job.data.twoTheta;
    const double top = *std::max_element(job.data.value.begin(), job.data.value.end());
    const double factor = top > 0.0 ? 100.0 / top : 1.0;
    std::vector<double> steps;
    for (std::size_t i = 1; i < x.size(); ++i) steps.push_back(x[i] - x[i - 1]);
    std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
    const double step = std::max(steps[steps.size() / 2], 1e-4);
    std::vector<double> calculated = resampled(x, job.fit.calculated, step);
    for (double& v : calculated) v *= factor;
    std::vector<double> measured = job.data.value;
    for (double& v : measured) v *= factor;

    PowderPlotData data;
    data.start = x.front();
    data.step = step;
    data.profile = calculated;
    data.measuredTwoTheta = x;
    data.measuredIntensity = measured;
    data.difference = true;
    char title[96];
    std::snprintf(title, sizeof title, "refined: R_wp = %.4f, chi2 = %.3f", job.fit.merit.rwp,
                  job.fit.merit.chi2);
    data.title = title;
    PictureSettings picture;
    picture.size = {size.width, size.height};
    picture.background = kWhite;
    picture.foreground = kBlack;
    const OffscreenApplication application;
    picture.font = defaultPlotFont();
    QString reason;
    const std::optional<QByteArray> bytes = renderPowderPicture(*format, data, picture, &reason);
    if (!bytes) throw std::runtime_error(reason.toStdString());
    writeRefineOutputs(options, job);
    if (const auto error =
            writeFileSafely(plot, std::string_view(bytes->constData(), bytes->size())))
        throw std::runtime_error("cannot write " + quotedPath(plot) + ": " + *error);
    return 0;
}

}  // namespace tesral::cli
