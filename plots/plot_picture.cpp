#include "plots/plot_picture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include "plots/image_canvas.h"
#include "plots/painter_canvas.h"
#include "plots/plot_drawing.h"

namespace tesral {

namespace {

/** Pictures are drawn as on a 96 dots-per-inch screen. */
constexpr double kPictureDpi = 96.0;

PlotTarget pictureTarget(const PictureSettings& settings) {
    PlotTarget target;
    target.twipsPerPixelX = twipsPerPixel(kPictureDpi);
    target.twipsPerPixelY = target.twipsPerPixelX;
    target.width = settings.size.width() * target.twipsPerPixelX;
    target.height = settings.size.height() * target.twipsPerPixelY;
    target.background = settings.background;
    target.foreground = settings.foreground;
    target.font = settings.font;
    return target;
}

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

QFont defaultPlotFont() {
    QFont font = QGuiApplication::font();
    font.setPointSize(8);
    return font;
}

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
    return std::nullopt;
}

std::optional<QString> writePlotPicture(const QString& path, PlotKind kind, const PlotData& data,
                                        const PlotOptions& options,
                                        const PictureSettings& settings) {
    const std::optional<PictureFormat> format = pictureFormatOf(path);
    if (!format) return QStringLiteral("the picture file must end in .png, .bmp or .svg");
    if (settings.size.isEmpty()) return QStringLiteral("the picture size must be positive");
    const QString nothing = QStringLiteral("nothing to draw: the plot has no extent");

    QByteArray bytes;
    if (*format == PictureFormat::Svg) {
        std::optional<QByteArray> svg = renderSvg(kind, data, options, settings);
        if (!svg) return nothing;
        bytes = std::move(*svg);
    } else {
        const std::optional<QImage> image = renderPlotImage(kind, data, options, settings);
        if (!image) return nothing;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image->save(&buffer, *format == PictureFormat::Png ? "PNG" : "BMP"))
            return QStringLiteral("the picture could not be encoded");
    }
    // Written under a temporary name and renamed, so a failed write keeps the old file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("cannot write ") + path + QStringLiteral(": ") + file.errorString();
    return std::nullopt;
}

}  // namespace tesral
