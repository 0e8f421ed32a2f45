#pragma once

#include <QImage>

#include <functional>

#include "plots/plot_canvas.h"
#include "plots/spot_raster.h"

namespace tesral {

/**
 * Draws into an opaque RGB32 image, honouring its device pixel ratio. Spots are rasterised
 * straight into the pixels with anti-aliased edges: QPainter's anti-aliased ellipse costs
 * about 3 microseconds a spot, too slow to turn tens of thousands of spots smoothly. Text
 * goes through QPainter.
 */
class ImageCanvas : public PlotCanvas {
  public:
    /** An image of the logical size (pixels) for the given device pixel ratio. */
    static QImage makeImage(QSize logicalSize, double devicePixelRatio);

    ImageCanvas(QImage& image, double twipsPerPixel);

    void clear(QRgb background) override;
    void circle(double x, double y, double r, QRgb outline, QRgb fill) override;
    void circles(std::span<const CanvasSpot> spots, QRgb outline) override;
    bool composesUnder() const override { return true; }
    void circlesUnder(std::span<const CanvasSpot> spots, QRgb outline) override;
    void endUnder() override;
    void text(double x, double y, const QString& text, QRgb colour, const QFont& font,
              TextRole role) override;
    void polyline(std::span<const QPointF> points, QRgb colour) override;
    void picture(double x, double y, double w, double h, const QImage& image) override;

  private:
    QImage& image_;
    double twipsPerPixel_;
    double devicePixelRatio_;
    double deviceScale_;  // device pixels per twip
    /** Spots gathered nearest first since the last clear(); empty when none are. */
    NearestFirst under_;

    /** Runs work(rows) for bands of rows, one per core, each starting on a tile's edge. */
    void inBands(std::size_t spots, const std::function<void(const SpotRows&)>& work);
};

}  // namespace tesral
