#pragma once

// A drawing on the canvas interface made into the bytes of a picture file: what the plots, the
// zone-axis pattern and the powder pattern share.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <functional>
#include <optional>

#include "plots/picture_settings.h"
#include "plots/plot_canvas.h"
#include "plots/plot_data.h"

namespace tesral {

/** Draws onto `canvas`, a box described by `target`; false when there is nothing to draw. */
using CanvasDrawing = std::function<bool(const PlotTarget& target, PlotCanvas& canvas)>;

/** The drawing as an SVG document of the settings' size; nothing when it draws nothing. */
std::optional<QByteArray> svgOfDrawing(const PictureSettings& settings, const QString& title,
                                       const CanvasDrawing& draw);

/** The drawing as an image of the settings' size; nothing when it draws nothing. */
std::optional<QImage> imageOfDrawing(const PictureSettings& settings, const CanvasDrawing& draw);

/** The image as PNG (else BMP) bytes; nothing when it cannot be encoded. */
std::optional<QByteArray> encodedImage(const QImage& image, bool png);

/**
 * The drawing as a placeable metafile at kTwipsPerInch. On failure returns nothing and sets
 * `reason`: too large, `nothing` when the drawing draws nothing, or why the file failed.
 */
std::optional<QByteArray> metafileOfDrawing(const PictureSettings& settings,
                                            const CanvasDrawing& draw, const QString& nothing,
                                            QString* reason);

}  // namespace tesral
