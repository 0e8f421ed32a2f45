#include "plots/powder_picture.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "plots/drawing_picture.h"
#include "plots/painter_canvas.h"

namespace tesral {

namespace {

std::optional<QByteArray> drawnWithPainter(QPaintDevice& device, QSize size,
                                           const PowderPlotData& data,
                                           const PictureSettings& settings) {
    QPainter painter;
    if (!painter.begin(&device)) return std::nullopt;
    PictureSettings sized = settings;
    sized.size = size;
    const PlotTarget target = pictureTarget(sized);
    PainterCanvas canvas(painter, QSizeF(size), target.twipsPerPixelX);
    const bool drawn = drawPowderPlot(data, target, canvas);
    painter.end();
    if (!drawn) return std::nullopt;
    return QByteArray();
}

}  // namespace

std::optional<QByteArray> renderPowderPicture(PictureFormat format, const PowderPlotData& data,
                                              const PictureSettings& settings, QString* reason) {
    const auto fail = [reason](const QString& why) -> std::optional<QByteArray> {
        if (reason) *reason = why;
        return std::nullopt;
    };
    const QString nothing = QStringLiteral("nothing to draw: the pattern is empty");
    if (settings.size.isEmpty()) return fail(QStringLiteral("the picture size must be positive"));
    const CanvasDrawing draw = [&](const PlotTarget& target, PlotCanvas& canvas) {
        return drawPowderPlot(data, target, canvas);
    };
    switch (format) {
        case PictureFormat::Svg: {
            auto svg = svgOfDrawing(settings, QStringLiteral("Tesral powder pattern"), draw);
            return svg ? svg : fail(nothing);
        }
        case PictureFormat::Pdf: {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter writer(&buffer);
            writer.setTitle(QStringLiteral("Tesral powder pattern"));
            writer.setCreator(QStringLiteral("Tesral"));
            writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                             QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
            // Laid out as on a 96 dots-per-inch screen, so fonts and margins match the pictures.
            writer.setResolution(static_cast<int>(kPictureDpi));
            const QSize page = writer.pageLayout().paintRectPixels(writer.resolution()).size();
            if (!drawnWithPainter(writer, page, data, settings)) return fail(nothing);
            buffer.close();
            return buffer.data();
        }
        case PictureFormat::Wmf:
            return metafileOfDrawing(settings, draw, nothing, reason);
        case PictureFormat::Png:
        case PictureFormat::Bmp: {
            const std::optional<QImage> image = imageOfDrawing(settings, draw);
            if (!image) return fail(nothing);
            std::optional<QByteArray> bytes = encodedImage(*image, format == PictureFormat::Png);
            return bytes ? bytes : fail(QStringLiteral("the picture could not be encoded"));
        }
    }
    return fail(nothing);
}

}  // namespace tesral
