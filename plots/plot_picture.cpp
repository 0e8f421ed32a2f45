#include "plots/plot_picture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>

#include "plots/image_canvas.h"
#include "plots/painter_canvas.h"
#include "plots/placeable_metafile.h"
#include "plots/plot_drawing.h"
#include "plots/plot_metafile.h"
#include "plots/plot_print.h"
#include "report/safe_file.h"

namespace tesral {

namespace {

std::optional<QByteArray> renderSvg(PlotKind kind, const PlotData& data, const PlotOptions& options,
                                    const PictureSettings& settings) {
    QBuffer buffer;
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(settings.size);
    generator.setViewBox(QRect(QPoint(0, 0), settings.size));
    generator.setResolution(static_cast<int>(kPictureDpi));
    generator.setTitle(QStringLiteral("Tesral"));
    QPainter painter;
    if (!painter.begin(&generator)) return std::nullopt;
    const PlotTarget target = pictureTarget(settings);
    PainterCanvas canvas(painter, QSizeF(settings.size), target.twipsPerPixelX);
    const bool drawn = drawPlot(kind, data, options, target, canvas);
    painter.end();
    if (!drawn) return std::nullopt;
    return buffer.data();
}

}  // namespace

std::optional<QImage> renderPlotImage(PlotKind kind, const PlotData& data,
                                      const PlotOptions& options, const PictureSettings& settings) {
    QImage image = ImageCanvas::makeImage(settings.size, 1.0);
    const PlotTarget target = pictureTarget(settings);
    ImageCanvas canvas(image, target.twipsPerPixelX);
    if (!drawPlot(kind, data, options, target, canvas)) return std::nullopt;
    return image;
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
    const auto fail = [reason](const char* why) -> std::optional<QByteArray> {
        if (reason) *reason = QString::fromLatin1(why);
        return std::nullopt;
    };
    if (settings.size.isEmpty()) return fail("the picture size must be positive");
    const char* nothing = "nothing to draw: the plot has no extent";
    if (format == PictureFormat::Svg) {
        std::optional<QByteArray> svg = renderSvg(kind, data, options, settings);
        return svg ? svg : fail(nothing);
    }
    if (format == PictureFormat::Wmf) {
        QString why;
        std::optional<QByteArray> wmf =
            renderPlotMetafile(kind, data, options, settings, kTwipsPerInch, &why);
        if (!wmf && reason) *reason = why.isEmpty() ? QString::fromLatin1(nothing) : why;
        return wmf;
    }
    if (format == PictureFormat::Pdf) {
        std::optional<QByteArray> pdf = renderPlotPdf(kind, data, options, settings.header);
        return pdf ? pdf : fail("the PDF document could not be made");
    }
    const std::optional<QImage> image = renderPlotImage(kind, data, options, settings);
    if (!image) return fail(nothing);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image->save(&buffer, format == PictureFormat::Png ? "PNG" : "BMP"))
        return fail("the picture could not be encoded");
    return bytes;
}

std::optional<QString> writePlotPicture(const QString& path, PlotKind kind, const PlotData& data,
                                        const PlotOptions& options,
                                        const PictureSettings& settings) {
    const std::optional<PictureFormat> format = pictureFormatOf(path);
    if (!format)
        return QStringLiteral("the picture file must end in .png, .bmp, .svg, .wmf or .pdf");
    QString reason;
    const std::optional<QByteArray> bytes =
        renderPlotPicture(*format, kind, data, options, settings, &reason);
    if (!bytes) return reason;
    // Written under a temporary name and renamed, so a failed write keeps the old file.
    if (const auto error = writeFileSafely(QFile::encodeName(path).toStdString(),
                                           std::string_view(bytes->constData(), bytes->size())))
        return QStringLiteral("cannot write ") + path + QStringLiteral(": ") +
               QString::fromLocal8Bit(error->c_str());
    return std::nullopt;
}

}  // namespace tesral
