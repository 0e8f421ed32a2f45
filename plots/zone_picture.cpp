#include "plots/zone_picture.h"

#include <QBuffer>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSvgGenerator>

#include "plots/image_canvas.h"
#include "plots/metafile_canvas.h"
#include "plots/painter_canvas.h"
#include "plots/placeable_metafile.h"
#include "plots/plot_metafile.h"
#include "plots/plot_print.h"

namespace tesral {
namespace {

std::optional<QByteArray> renderSvg(const ZonePatternData& data, const PlotOptions& options,
                                    const PictureSettings& settings) {
    QBuffer buffer;
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(settings.size);
    generator.setViewBox(QRect(QPoint(0, 0), settings.size));
    generator.setResolution(static_cast<int>(kPictureDpi));
    generator.setTitle(QStringLiteral("Tesral zone axis"));
    QPainter painter;
    if (!painter.begin(&generator)) return std::nullopt;
    const PlotTarget target = pictureTarget(settings);
    PainterCanvas canvas(painter, QSizeF(settings.size), target.twipsPerPixelX);
    const bool drawn = drawZonePattern(data, options, target, canvas);
    painter.end();
    if (!drawn) return std::nullopt;
    return buffer.data();
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
            auto svg = renderSvg(data, options, settings);
            return svg ? svg : fail(nothing);
        }
        case PictureFormat::Pdf: {
            auto pdf = renderPdf(data, options, settings);
            return pdf ? pdf : fail(QStringLiteral("the PDF document could not be made"));
        }
        case PictureFormat::Wmf: {
            const PlotTarget target = pictureTarget(settings);
            if (target.width > kLargestMetafileSide || target.height > kLargestMetafileSide)
                return fail(
                    QString::fromUtf8(kMetafileTooLargeMessage.data(),
                                      static_cast<qsizetype>(kMetafileTooLargeMessage.size())));
            MetafileCanvas canvas(target, static_cast<int>(target.twipsPerPixelX));
            if (!drawZonePattern(data, options, target, canvas)) return fail(nothing);
            return finishPlotMetafile(canvas, kTwipsPerInch, reason);
        }
        case PictureFormat::Png:
        case PictureFormat::Bmp:
            break;
    }
    QImage image = ImageCanvas::makeImage(settings.size, 1.0);
    const PlotTarget target = pictureTarget(settings);
    ImageCanvas canvas(image, target.twipsPerPixelX);
    if (!drawZonePattern(data, options, target, canvas)) return fail(nothing);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format == PictureFormat::Png ? "PNG" : "BMP"))
        return fail(QStringLiteral("the picture could not be encoded"));
    return bytes;
}

}  // namespace tesral
