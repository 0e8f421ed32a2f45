#include "plots/plot_picture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include "plots/drawing_picture.h"
#include "plots/placeable_metafile.h"
#include "plots/plot_drawing.h"
#include "plots/plot_metafile.h"
#include "plots/plot_print.h"
#include "report/safe_file.h"

namespace tesral {

namespace {

/** Draws the plot of `kind` onto a picture's canvas. */
CanvasDrawing plotDrawing(PlotKind kind, const PlotData& data, const PlotOptions& options) {
    return [&, kind](const PlotTarget& target, PlotCanvas& canvas) {
        return drawPlot(kind, data, options, target, canvas);
    };
}

}  // namespace

std::optional<QImage> renderPlotImage(PlotKind kind, const PlotData& data,
                                      const PlotOptions& options, const PictureSettings& settings) {
    return imageOfDrawing(settings, plotDrawing(kind, data, options));
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
        std::optional<QByteArray> svg =
            svgOfDrawing(settings, QStringLiteral("Tesral"), plotDrawing(kind, data, options));
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
    std::optional<QByteArray> bytes = encodedImage(*image, format == PictureFormat::Png);
    return bytes ? bytes : fail("the picture could not be encoded");
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
