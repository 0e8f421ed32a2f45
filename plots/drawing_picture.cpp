#include "plots/drawing_picture.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

#include "plots/image_canvas.h"
#include "plots/metafile_canvas.h"
#include "plots/painter_canvas.h"
#include "plots/placeable_metafile.h"
#include "plots/plot_metafile.h"

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
                                            QString* reason) {
    const auto fail = [reason](const QString& why) -> std::optional<QByteArray> {
        if (reason) *reason = why;
        return std::nullopt;
    };
    const PlotTarget target = pictureTarget(settings);
    if (target.width > kLargestMetafileSide || target.height > kLargestMetafileSide)
        return fail(QString::fromUtf8(kMetafileTooLargeMessage.data(),
                                      static_cast<qsizetype>(kMetafileTooLargeMessage.size())));
    MetafileCanvas canvas(target, static_cast<int>(target.twipsPerPixelX));
    if (!draw(target, canvas)) return fail(nothing);
    QString why;
    std::optional<QByteArray> wmf = finishPlotMetafile(canvas, kTwipsPerInch, &why);
    return wmf ? wmf : fail(why);
}

}  // namespace tesral
