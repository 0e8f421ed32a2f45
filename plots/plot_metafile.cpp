#include "plots/plot_metafile.h"

#include <string>

#include "plots/metafile_canvas.h"
#include "plots/placeable_metafile.h"
#include "plots/plot_drawing.h"

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
    const PlotTarget target = pictureTarget(settings);
    // Refused before drawing: the header cannot describe a larger picture.
    if (target.width > kLargestMetafileSide || target.height > kLargestMetafileSide)
        return failed(error, QString::fromUtf8(kMetafileTooLargeMessage));
    if (settings.size.isEmpty())
        return failed(error, QStringLiteral("the picture size must be positive"));
    MetafileCanvas canvas(target, static_cast<int>(target.twipsPerPixelX));
    if (!drawPlot(kind, data, options, target, canvas))
        return failed(error, QStringLiteral("nothing to draw: the plot has no extent"));
    return finishPlotMetafile(canvas, unitsPerInch, error);
}

}  // namespace tesral
