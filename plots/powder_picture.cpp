#include "plots/powder_picture.h"

#include "plots/drawing_picture.h"

namespace tesral {

QString powderSizeProblem(const PowderPlotData& data, const PictureSettings& settings) {
    const PowderFrame f = powderFrame(data, pictureTarget(settings));
    if (f.right > f.left && f.bottom > f.top) return {};
    return QStringLiteral(
               "the picture is too small for the plot's axes and labels (%1 x %2 pixels)")
        .arg(settings.size.width())
        .arg(settings.size.height());
}

std::optional<QByteArray> renderPowderPicture(PictureFormat format, const PowderPlotData& data,
                                              const PictureSettings& settings, QString* reason) {
    if (format != PictureFormat::Pdf && !settings.size.isEmpty())
        if (const QString problem = powderSizeProblem(data, settings); !problem.isEmpty()) {
            if (reason) *reason = problem;
            return std::nullopt;
        }
    PictureDrawing drawing;
    drawing.draw = [&](const PlotTarget& target, PlotCanvas& canvas) {
        return drawPowderPlot(data, target, canvas);
    };
    drawing.title = QStringLiteral("Tesral powder pattern");
    drawing.nothing = QStringLiteral("nothing to draw: the pattern is empty");
    drawing.landscape = true;
    return pictureBytes(format, settings, drawing, reason);
}

}  // namespace tesral
