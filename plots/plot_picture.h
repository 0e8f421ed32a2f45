#pragma once

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

#include "engine/run_parameters.h"
#include "plots/plot_data.h"
#include "plots/plot_options.h"

namespace tesral {

/** A plot drawn off screen, as a plot box of this size at 96 dots per inch would show it. */
struct PictureSettings {
    QSize size{800, 800};  // pixels
    QRgb background = kBlack;
    QRgb foreground = kWhite;
    QFont font;  // of the index labels and the legend
    /** The run line of a printed page (PDF). */
    RunHeader header;
};

/** Pictures are drawn as on a 96 dots-per-inch screen. */
inline constexpr double kPictureDpi = 96.0;

/** The drawing target of a picture of these settings: its size in twips, colours, font. */
PlotTarget pictureTarget(const PictureSettings& settings);

/** The label font of a plot box: the application's font at 8 points. */
QFont defaultPlotFont();

/** The plot as an image; nothing when the drawing fails (nothing to scale by). */
std::optional<QImage> renderPlotImage(PlotKind kind, const PlotData& data,
                                      const PlotOptions& options, const PictureSettings& settings);

/** Bitmaps, SVG, a placeable Windows metafile, or the printed page as a PDF document. */
enum class PictureFormat { Png, Bmp, Svg, Wmf, Pdf };

/** The format named by the file's extension (.png, .bmp, .svg, .wmf, .pdf, any letter case). */
std::optional<PictureFormat> pictureFormatOf(const QString& path);

/**
 * The plot as the bytes of a picture file in `format`. On failure returns nothing and, when
 * `reason` is given, sets it.
 */
std::optional<QByteArray> renderPlotPicture(PictureFormat format, PlotKind kind,
                                            const PlotData& data, const PlotOptions& options,
                                            const PictureSettings& settings,
                                            QString* reason = nullptr);

/**
 * Writes the plot to `path` in the format of its extension, through SafeFile. On failure returns
 * the reason and leaves an existing file unchanged; on success returns nothing.
 */
std::optional<QString> writePlotPicture(const QString& path, PlotKind kind, const PlotData& data,
                                        const PlotOptions& options,
                                        const PictureSettings& settings);

}  // namespace tesral
