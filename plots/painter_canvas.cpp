#include "plots/painter_canvas.h"

#include <QBrush>
#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <vector>

namespace tesral {

PainterCanvas::PainterCanvas(QPainter& painter, QSizeF size, double twipsPerPixel, double penWidth)
    : painter_(painter), size_(size), twipsPerPixel_(twipsPerPixel), penWidth_(penWidth) {
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

void PainterCanvas::clear(QRgb background) {
    painter_.fillRect(QRectF(QPointF(0, 0), size_), QColor::fromRgba(background));
}

void PainterCanvas::usePen(QRgb colour) {
    if (penSet_ && pen_ == colour) return;
    painter_.setPen(QPen(QColor::fromRgba(colour), penWidth_));
    pen_ = colour;
    penSet_ = true;
}

void PainterCanvas::useBrush(QRgb colour) {
    if (brushSet_ && brush_ == colour) return;
    // A fill with alpha 0 means an outline-only circle.
    if (qAlpha(colour) == 0)
        painter_.setBrush(Qt::NoBrush);
    else
        painter_.setBrush(QColor::fromRgba(colour));
    brush_ = colour;
    brushSet_ = true;
}

void PainterCanvas::circle(double x, double y, double r, QRgb outline, QRgb fill) {
    usePen(outline);
    useBrush(fill);
    const double k = 1.0 / twipsPerPixel_;
    painter_.drawEllipse(QPointF(x * k, y * k), r * k, r * k);
}

void PainterCanvas::text(double x, double y, const QString& text, QRgb colour, const QFont& font,
                         TextRole) {
    painter_.setFont(font);
    painter_.setPen(QColor::fromRgba(colour));
    penSet_ = false;
    const double k = 1.0 / twipsPerPixel_;
    // Place the top-left corner, not the baseline, at the position.
    const double ascent = painter_.fontMetrics().ascent();
    painter_.drawText(QPointF(x * k, y * k + ascent), text);
}

void PainterCanvas::picture(double x, double y, double w, double h, const QImage& image) {
    const double k = 1.0 / twipsPerPixel_;
    painter_.save();
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter_.drawImage(QRectF(x * k, y * k, w * k, h * k), image);
    painter_.restore();
}

void PainterCanvas::polyline(std::span<const QPointF> points, QRgb colour) {
    usePen(colour);
    const double k = 1.0 / twipsPerPixel_;
    std::vector<QPointF> scaled;
    scaled.reserve(points.size());
    for (const QPointF& p : points) scaled.push_back(p * k);
    painter_.drawPolyline(scaled.data(), static_cast<int>(scaled.size()));
}

}  // namespace tesral
