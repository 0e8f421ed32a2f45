#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

#include "plots/picture_settings.h"
#include "plots/plot_data.h"
#include "plots/plot_options.h"

namespace tesral {

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
