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

struct PictureDrawing;

/** Bitmaps, SVG, a placeable Windows metafile, or the printed page as a PDF document. */
enum class PictureFormat { Png, Bmp, Svg, Wmf, Pdf };

/** The format named by the file's extension (.png, .bmp, .svg, .wmf, .pdf, any letter case). */
std::optional<PictureFormat> pictureFormatOf(const QString& path);

/**
 * The plot as a picture to be written in any format; its PDF is the printed page with the
 * run line of `header`. The spans of `data` must outlive it.
 */
PictureDrawing plotPictureDrawing(PlotKind kind, const PlotData& data, const PlotOptions& options,
                                  const RunHeader& header);

/**
 * The plot as the bytes of a picture file in `format`. On failure returns nothing and, when
 * `reason` is given, sets it.
 */
std::optional<QByteArray> renderPlotPicture(PictureFormat format, PlotKind kind,
                                            const PlotData& data, const PlotOptions& options,
                                            const PictureSettings& settings,
                                            QString* reason = nullptr);

}  // namespace tesral
