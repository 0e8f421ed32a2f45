#pragma once

// A measured diffraction photograph with a fitted section's spots over it, through the plot
// canvas: the picture of the command line's fit and the zone view's overlay.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>
#include <span>
#include <vector>

#include "plots/picture_settings.h"
#include "plots/plot_canvas.h"
#include "plots/plot_data.h"
#include "plots/plot_picture.h"

namespace tesral {

/** How pixel values become grey levels. */
enum class ImageContrast { Linear, Logarithmic, Gamma };

/**
 * The photograph as an 8-bit grey image: linearly from the darkest to the brightest pixel,
 * or from the median pixel (the background) up by log(1 + value) or value^gamma.
 * `pixels` row by row from the top.
 */
QImage contrastImage(int width, int height, std::span<const float> pixels, ImageContrast contrast,
                     double gamma = 0.5);

/** A section spot where the fit puts it: image pixels, x right, y down. */
struct OverlaySpot {
    double x = 0.0, y = 0.0;
    /** A measured spot was matched to it. */
    bool matched = false;
    /** The indices to write beside it; empty for none. */
    QString label;
};

inline constexpr QRgb kMatchedSpotColour = 0xff30d030u;
inline constexpr QRgb kUnmatchedSpotColour = 0xffe06a00u;

struct MeasuredOverlayData {
    /** The photograph with its contrast applied. */
    QImage image;
    /** Strongest first. */
    std::vector<OverlaySpot> spots;
    /** The direct beam, image pixels. */
    double centreX = 0.0, centreY = 0.0;
    QString title;
};

/**
 * Draws the photograph as large as the target allows, keeping its shape, with the spots as
 * circles (matched ones green), the labels of those that carry one and a cross on the
 * direct beam. False when there is no image.
 */
bool drawMeasuredOverlay(const MeasuredOverlayData& data, const PlotTarget& target,
                         PlotCanvas& canvas);

/** The overlay in `format` (PNG, BMP, SVG, PDF; a metafile leaves the photograph out). */
std::optional<QByteArray> renderMeasuredOverlay(PictureFormat format,
                                                const MeasuredOverlayData& data,
                                                const PictureSettings& settings,
                                                QString* reason = nullptr);

}  // namespace tesral
