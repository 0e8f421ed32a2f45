#include "plots/plot_picture.h"

#include <QFileInfo>
#include <QPagedPaintDevice>

#include "plots/drawing_picture.h"
#include "plots/plot_drawing.h"
#include "plots/plot_print.h"

namespace tesral {

PictureDrawing plotPictureDrawing(PlotKind kind, const PlotData& data, const PlotOptions& options,
                                  const RunHeader& header) {
    PictureDrawing drawing;
    drawing.draw = [=](const PlotTarget& target, PlotCanvas& canvas) {
        return drawPlot(kind, data, options, target, canvas);
    };
    drawing.title = QStringLiteral("Tesral");
    drawing.nothing = QStringLiteral("nothing to draw: the plot has no extent");
    drawing.page = [=](QPainter& painter, QPagedPaintDevice& device) {
        drawPrintedPlot(painter, printablePageSize(device), 1440.0 / device.logicalDpiX(), kind,
                        data, options, header);
    };
    return drawing;
}

std::optional<PictureFormat> pictureFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png")) return PictureFormat::Png;
    if (suffix == QLatin1String("bmp")) return PictureFormat::Bmp;
    if (suffix == QLatin1String("svg")) return PictureFormat::Svg;
    if (suffix == QLatin1String("wmf")) return PictureFormat::Wmf;
    if (suffix == QLatin1String("pdf")) return PictureFormat::Pdf;
    return std::nullopt;
}

std::optional<QByteArray> renderPlotPicture(PictureFormat format, PlotKind kind,
                                            const PlotData& data, const PlotOptions& options,
                                            const PictureSettings& settings, QString* reason) {
    return pictureBytes(format, settings, plotPictureDrawing(kind, data, options, settings.header),
                        reason);
}

}  // namespace tesral
