#pragma once

#include <vector>

#include "plots/plot_canvas.h"

namespace tesral {

/** Keeps every drawing call, in order, for tests to read back. */
class RecordingCanvas : public PlotCanvas {
  public:
    enum class Kind { Clear, Circle, Text, Polyline, Picture };
    struct Item {
        Kind kind = Kind::Clear;
        double x = 0, y = 0, r = 0;  // twips
        QRgb outline = 0;            // clear: the background; text: the colour
        QRgb fill = 0;
        QString text;
        QFont font;
        TextRole role = TextRole::Label;
        std::vector<QPointF> points;  // polyline: twips
        /** picture: the box's width and height (twips) and the picture's pixel size. */
        double w = 0, h = 0;
        QSize pictureSize;
    };

    void clear(QRgb background) override;
    void circle(double x, double y, double r, QRgb outline, QRgb fill) override;
    void text(double x, double y, const QString& text, QRgb colour, const QFont& font,
              TextRole role) override;
    void polyline(std::span<const QPointF> points, QRgb colour) override;
    void picture(double x, double y, double w, double h, const QImage& image) override;

    const std::vector<Item>& items() const { return items_; }
    /** The items of one kind, in drawing order. */
    std::vector<Item> items(Kind kind) const;

  private:
    std::vector<Item> items_;
};

}  // namespace tesral
