#include "plots/zone_picture.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include "plots/drawing_picture.h"
#include "plots/painter_canvas.h"
#include "plots/plot_print.h"

namespace tesral {
namespace {

/** Draws the section's pattern onto a picture's canvas. */
CanvasDrawing zoneDrawing(const ZonePatternData& data, const PlotOptions& options) {
    return [&](const PlotTarget& target, PlotCanvas& canvas) {
        return drawZonePattern(data, options, target, canvas);
    };
}

std::optional<QByteArray> renderPdf(const ZonePatternData& data, const PlotOptions& options,
                                    const PictureSettings& settings) {
    bool drawn = false;
    std::optional<QByteArray> pdf =
        renderPdfDocument([&](QPainter& painter, QPagedPaintDevice& device) {
            drawn = drawZonePage(painter, printablePageSize(device), 1440.0 / device.logicalDpiX(),
                                 data, options, settings.font);
        });
    if (!drawn) return std::nullopt;
    return pdf;
}

}  // namespace

bool drawZonePage(QPainter& painter, QSizeF page, double twipsPerPixel, const ZonePatternData& data,
                  const PlotOptions& options, const QFont& font) {
    PlotTarget target;
    target.twipsPerPixelX = target.twipsPerPixelY = twipsPerPixel;
    target.width = page.width() * twipsPerPixel;
    target.height = page.width() * twipsPerPixel;
    target.background = kWhite;
    target.foreground = kBlack;
    target.font = font;
    target.printed = true;
    PainterCanvas canvas(painter, page, twipsPerPixel);
    return drawZonePattern(data, options, target, canvas);
}

std::optional<QByteArray> renderZonePicture(PictureFormat format, const ZonePatternData& data,
                                            const PlotOptions& options,
                                            const PictureSettings& settings, QString* reason) {
    const auto fail = [reason](const QString& why) -> std::optional<QByteArray> {
        if (reason) *reason = why;
        return std::nullopt;
    };
    if (settings.size.isEmpty()) return fail(QStringLiteral("the picture size must be positive"));
    const QString nothing = QStringLiteral("the section could not be drawn");
    switch (format) {
        case PictureFormat::Svg: {
            auto svg = svgOfDrawing(settings, QStringLiteral("Tesral zone axis"),
                                    zoneDrawing(data, options));
            return svg ? svg : fail(nothing);
        }
        case PictureFormat::Pdf: {
            auto pdf = renderPdf(data, options, settings);
            return pdf ? pdf : fail(QStringLiteral("the PDF document could not be made"));
        }
        case PictureFormat::Wmf:
            return metafileOfDrawing(settings, zoneDrawing(data, options), nothing, reason);
        case PictureFormat::Png:
        case PictureFormat::Bmp:
            break;
    }
    const std::optional<QImage> image = imageOfDrawing(settings, zoneDrawing(data, options));
    if (!image) return fail(nothing);
    std::optional<QByteArray> bytes = encodedImage(*image, format == PictureFormat::Png);
    return bytes ? bytes : fail(QStringLiteral("the picture could not be encoded"));
}

}  // namespace tesral
