#pragma once

#include "plots/plot_canvas.h"

namespace tesral {

/** Passes every call to two canvases: a plot drawn on screen and recorded at once. */
class TeeCanvas : public PlotCanvas {
  public:
    TeeCanvas(PlotCanvas& first, PlotCanvas& second) : first_(first), second_(second) {}

    void clear(QRgb background) override {
        first_.clear(background);
        second_.clear(background);
    }
    void circle(double x, double y, double r, QRgb outline, QRgb fill) override {
        first_.circle(x, y, r, outline, fill);
        second_.circle(x, y, r, outline, fill);
    }
    void circles(std::span<const CanvasSpot> spots, QRgb outline) override {
        first_.circles(spots, outline);
        second_.circles(spots, outline);
    }
    void text(double x, double y, const QString& text, QRgb colour, const QFont& font,
              TextRole role) override {
        first_.text(x, y, text, colour, font, role);
        second_.text(x, y, text, colour, font, role);
    }
    void picture(double x, double y, double w, double h, const QImage& image) override {
        first_.picture(x, y, w, h, image);
        second_.picture(x, y, w, h, image);
    }

  private:
    PlotCanvas& first_;
    PlotCanvas& second_;
};

}  // namespace tesral
