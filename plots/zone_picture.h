#pragma once

// The zone-axis pattern as a picture file, through the same canvases as the plots.

#include <QByteArray>
#include <QFont>
#include <QSizeF>
#include <QString>
#include <optional>

#include "plots/picture_settings.h"
#include "plots/plot_picture.h"
#include "plots/zone_drawing.h"

class QPainter;
class QPagedPaintDevice;

namespace tesral {

/**
 * The pattern on a printed page: black on white, a square as wide as the page at its top,
 * laid out as the pictures are (drawOnPage), so spots and labels keep their screen sizes.
 */
bool drawZonePage(QPainter& painter, QPagedPaintDevice& device, const ZonePatternData& data,
                  const PlotOptions& options, const QFont& font);

/**
 * The pattern in `format`: a bitmap, SVG or placeable metafile of settings.size, or the
 * printed page (PDF, black on white). On failure returns nothing and sets `reason`.
 */
std::optional<QByteArray> renderZonePicture(PictureFormat format, const ZonePatternData& data,
                                            const PlotOptions& options,
                                            const PictureSettings& settings,
                                            QString* reason = nullptr);

}  // namespace tesral
