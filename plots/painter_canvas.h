#pragma once

#include <QSizeF>

#include "plots/plot_canvas.h"

class QPainter;

namespace tesral {

/**
 * Draws through a QPainter in its logical pixels: any paint device (an image, an SVG
 * generator, a printer). Anti-aliased.
 */
class PainterCanvas : public PlotCanvas {
  public:
    /** `size`: the painter's logical size in pixels; `penWidth`: outline width in pixels. */
    PainterCanvas(QPainter& painter, QSizeF size, double twipsPerPixel, double penWidth = 1.0);

    void clear(QRgb background) override;
    void circle(double x, double y, double r, QRgb outline, QRgb fill) override;
    void text(double x, double y, const QString& text, QRgb colour, const QFont& font,
              TextRole role) override;
    void polyline(std::span<const QPointF> points, QRgb colour) override;
    void picture(double x, double y, double w, double h, const QImage& image) override;

  private:
    void usePen(QRgb colour);
    void useBrush(QRgb colour);

    QPainter& painter_;
    QSizeF size_;
    double twipsPerPixel_;
    double penWidth_;
    // Pen and brush are set only when their colour changes.
    QRgb pen_ = 0;
    QRgb brush_ = 0;
    bool penSet_ = false;
    bool brushSet_ = false;
};

}  // namespace tesral
