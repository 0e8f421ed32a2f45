#include "plots/plot_metafile.h"

#include <string>

#include "plots/drawing_picture.h"
#include "plots/metafile_canvas.h"
#include "plots/placeable_metafile.h"

namespace tesral {

namespace {

std::optional<QByteArray> failed(QString* error, const QString& why) {
    if (error) *error = why;
    return std::nullopt;
}

}  // namespace

std::optional<QByteArray> finishPlotMetafile(MetafileCanvas& canvas, int unitsPerInch,
                                             QString* error) {
    std::string why;
    const std::optional<std::string> bytes = placeableMetafileBytes(
        canvas.finish(), canvas.width(), canvas.height(), unitsPerInch, &why);
    if (!bytes) return failed(error, QString::fromStdString(why));
    return QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size()));
}

std::optional<QByteArray> renderPlotMetafile(PlotKind kind, const PlotData& data,
                                             const PlotOptions& options,
                                             const PictureSettings& settings, int unitsPerInch,
                                             QString* error) {
    if (settings.size.isEmpty())
        return failed(error, QStringLiteral("the picture size must be positive"));
    const PictureDrawing plot = plotPictureDrawing(kind, data, options, settings.header);
    return metafileOfDrawing(settings, plot.draw, plot.nothing, error, {0, unitsPerInch});
}

}  // namespace tesral
