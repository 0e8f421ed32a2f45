#include "plots/drawing_picture.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSvgGenerator>
#include <algorithm>

#include "plots/image_canvas.h"
#include "plots/metafile_canvas.h"
#include "plots/painter_canvas.h"
#include "plots/placeable_metafile.h"
#include "plots/plot_metafile.h"
#include "plots/plot_print.h"

namespace tesral {

std::optional<QByteArray> svgOfDrawing(const PictureSettings& settings, const QString& title,
                                       const CanvasDrawing& draw) {
    QBuffer buffer;
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(settings.size);
    generator.setViewBox(QRect(QPoint(0, 0), settings.size));
    generator.setResolution(static_cast<int>(kPictureDpi));
    generator.setTitle(title);
    QPainter painter;
    if (!painter.begin(&generator)) return std::nullopt;
    const PlotTarget target = pictureTarget(settings);
    PainterCanvas canvas(painter, QSizeF(settings.size), target.twipsPerPixelX);
    const bool drawn = draw(target, canvas);
    painter.end();
    if (!drawn) return std::nullopt;
    return buffer.data();
}

std::optional<QImage> imageOfDrawing(const PictureSettings& settings, const CanvasDrawing& draw) {
    QImage image = ImageCanvas::makeImage(settings.size, 1.0);
    const PlotTarget target = pictureTarget(settings);
    ImageCanvas canvas(image, target.twipsPerPixelX);
    if (!draw(target, canvas)) return std::nullopt;
    return image;
}

std::optional<QByteArray> encodedImage(const QImage& image, bool png) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, png ? "PNG" : "BMP")) return std::nullopt;
    return bytes;
}

std::optional<QByteArray> metafileOfDrawing(const PictureSettings& settings,
                                            const CanvasDrawing& draw, const QString& nothing,
                                            QString* reason, MetafileUnits units) {
    const auto fail = [reason](const QString& why) -> std::optional<QByteArray> {
        if (reason) *reason = why;
        return std::nullopt;
    };
    const PlotTarget target = pictureTarget(settings);
    if (target.width > kLargestMetafileSide || target.height > kLargestMetafileSide)
        return fail(QString::fromUtf8(kMetafileTooLargeMessage.data(),
                                      static_cast<qsizetype>(kMetafileTooLargeMessage.size())));
    MetafileCanvas canvas(
        target, units.penWidth > 0 ? units.penWidth : static_cast<int>(target.twipsPerPixelX));
    if (!draw(target, canvas)) return fail(nothing);
    QString why;
    std::optional<QByteArray> wmf = finishPlotMetafile(canvas, units.unitsPerInch, &why);
    return wmf ? wmf : fail(why);
}

QFont screenPixelFont(const QFont& font) {
    if (font.pixelSize() > 0) return font;
    QFont sized = font;
    sized.setPixelSize(std::max(1, qRound(font.pointSizeF() * kPictureDpi / 72.0)));
    return sized;
}

bool drawOnPage(QPainter& painter, QPagedPaintDevice& device, const PictureSettings& settings,
                const CanvasDrawing& draw, bool square) {
    const double scale = device.logicalDpiX() / kPictureDpi;
    if (!(scale > 0.0)) return false;
    QSizeF page = printablePageSize(device) / scale;
    if (square) page.setHeight(std::min(page.width(), page.height()));
    PictureSettings onPage = settings;
    onPage.size = page.toSize();
    onPage.font = screenPixelFont(settings.font);
    if (onPage.size.isEmpty()) return false;
    painter.save();
    painter.scale(scale, scale);
    const PlotTarget target = pictureTarget(onPage);
    PainterCanvas canvas(painter, QSizeF(onPage.size), target.twipsPerPixelX);
    const bool drawn = draw(target, canvas);
    painter.restore();
    return drawn;
}

std::optional<QByteArray> pdfOfDrawing(const PictureSettings& settings, const CanvasDrawing& draw,
                                       bool landscape, bool square) {
    bool drawn = false;
    std::optional<QByteArray> pdf = renderPdfDocument(
        [&](QPainter& painter, QPagedPaintDevice& device) {
            drawn = drawOnPage(painter, device, settings, draw, square);
        },
        landscape);
    if (!drawn) return std::nullopt;
    return pdf;
}

std::optional<QByteArray> pictureBytes(PictureFormat format, const PictureSettings& settings,
                                       const PictureDrawing& drawing, QString* reason) {
    const auto fail = [reason](const QString& why) -> std::optional<QByteArray> {
        if (reason) *reason = why;
        return std::nullopt;
    };
    if (settings.size.isEmpty()) return fail(QStringLiteral("the picture size must be positive"));
    switch (format) {
        case PictureFormat::Svg: {
            auto svg = svgOfDrawing(settings, drawing.title, drawing.draw);
            return svg ? svg : fail(drawing.nothing);
        }
        case PictureFormat::Pdf: {
            if (drawing.page) {
                auto pdf = renderPdfDocument(drawing.page, drawing.landscape);
                return pdf ? pdf : fail(QStringLiteral("the PDF document could not be made"));
            }
            PictureSettings paper = settings;
            paper.background = kWhite;
            paper.foreground = kBlack;
            auto pdf = pdfOfDrawing(paper, drawing.draw, drawing.landscape, drawing.square);
            return pdf ? pdf : fail(drawing.nothing);
        }
        case PictureFormat::Wmf:
            return metafileOfDrawing(settings, drawing.draw, drawing.nothing, reason,
                                     drawing.metafile);
        case PictureFormat::Png:
        case PictureFormat::Bmp:
            break;
    }
    const std::optional<QImage> image = imageOfDrawing(settings, drawing.draw);
    if (!image) return fail(drawing.nothing);
    std::optional<QByteArray> bytes = encodedImage(*image, format == PictureFormat::Png);
    return bytes ? bytes : fail(QStringLiteral("the picture could not be encoded"));
}

}  // namespace tesral
