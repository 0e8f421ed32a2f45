#include "plots/powder_picture.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "plots/image_canvas.h"
#include "plots/metafile_canvas.h"
#include "plots/painter_canvas.h"
#include "plots/placeable_metafile.h"
#include "plots/plot_metafile.h"

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
    const PlotTarget target = pictureTarget(settings);
    switch (format) {
        case PictureFormat::Svg: {
            QBuffer buffer;
            QSvgGenerator generator;
            generator.setOutputDevice(&buffer);
            generator.setSize(settings.size);
            generator.setViewBox(QRect(QPoint(0, 0), settings.size));
            generator.setResolution(static_cast<int>(kPictureDpi));
            generator.setTitle(QStringLiteral("Tesral powder pattern"));
            if (!drawnWithPainter(generator, settings.size, data, settings)) return fail(nothing);
            return buffer.data();
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
        case PictureFormat::Wmf: {
            if (target.width > kLargestMetafileSide || target.height > kLargestMetafileSide)
                return fail(
                    QString::fromUtf8(kMetafileTooLargeMessage.data(),
                                      static_cast<qsizetype>(kMetafileTooLargeMessage.size())));
            MetafileCanvas canvas(target, static_cast<int>(target.twipsPerPixelX));
            if (!drawPowderPlot(data, target, canvas)) return fail(nothing);
            QString why;
            std::optional<QByteArray> wmf = finishPlotMetafile(canvas, kTwipsPerInch, &why);
            return wmf ? wmf : fail(why);
        }
        case PictureFormat::Png:
        case PictureFormat::Bmp: {
            QImage image = ImageCanvas::makeImage(settings.size, 1.0);
            ImageCanvas canvas(image, target.twipsPerPixelX);
            if (!drawPowderPlot(data, target, canvas)) return fail(nothing);
            QByteArray bytes;
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            if (!image.save(&buffer, format == PictureFormat::Png ? "PNG" : "BMP"))
                return fail(QStringLiteral("the picture could not be encoded"));
            return bytes;
        }
    }
    return fail(nothing);
}

}  // namespace tesral
