#include "plots/image_canvas.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "plots/painter_canvas.h"

namespace tesral {

namespace {

/** `src` over `dst` with coverage a (0..1) and the source's own alpha. */
inline QRgb blend(QRgb dst, QRgb src, double a) {
    const int w = static_cast<int>(a * qAlpha(src) * (256.0 / 255.0) + 0.5);
    if (w <= 0) return dst;
    if (w >= 256) return src | 0xff000000u;
    const auto mix = [&](int shift) {
        const auto d = static_cast<int>((dst >> shift) & 0xffu);
        const auto s = static_cast<int>((src >> shift) & 0xffu);
        return static_cast<QRgb>((d * (256 - w) + s * w) >> 8) << shift;
    };
    return 0xff000000u | mix(16) | mix(8) | mix(0);
}

inline double coverage(double edge, double distance) {
    // A pixel whose centre lies on the edge is half covered.
    return std::clamp(edge - distance + 0.5, 0.0, 1.0);
}

/** The pixel range [first, last] that a span [low, high] (pixels) touches inside 0..size-1. */
inline bool pixelRange(double low, double high, int size, int& first, int& last) {
    low = std::max(low, 0.0);
    high = std::min(high, static_cast<double>(size - 1));
    if (!(low <= high)) return false;
    first = static_cast<int>(std::floor(low));
    last = static_cast<int>(std::ceil(high));
    return true;
}

}  // namespace

QImage ImageCanvas::makeImage(QSize logicalSize, double devicePixelRatio) {
    QImage image(logicalSize * devicePixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

ImageCanvas::ImageCanvas(QImage& image, double twipsPerPixel)
    : image_(image),
      twipsPerPixel_(twipsPerPixel),
      devicePixelRatio_(image.devicePixelRatio()),
      deviceScale_(image.devicePixelRatio() / twipsPerPixel) {
    if (image_.format() != QImage::Format_RGB32)
        image_ = image_.convertToFormat(QImage::Format_RGB32);
}

void ImageCanvas::clear(QRgb background) {
    image_.fill(background | 0xff000000u);
}

void ImageCanvas::circle(double x, double y, double r, QRgb outline, QRgb fill) {
    const double cx = x * deviceScale_;
    const double cy = y * deviceScale_;
    const double radius = std::fabs(r) * deviceScale_;
    // The outline is one logical pixel wide, centred on the circle.
    const double halfPen = 0.5 * devicePixelRatio_;
    const double outer = radius + halfPen;
    const double inner = radius - halfPen;
    const double reach = outer + 0.5;
    int x0, x1, y0, y1;
    if (!pixelRange(cx - reach, cx + reach, image_.width(), x0, x1)) return;
    if (!pixelRange(cy - reach, cy + reach, image_.height(), y0, y1)) return;

    const double reach2 = reach * reach;
    // Pixels nearer than this are covered by the fill alone.
    const double solid = inner - 0.5;
    const bool opaqueFill = qAlpha(fill) == 255;
    const double solid2 = solid > 0.0 && opaqueFill ? solid * solid : -1.0;
    uchar* bits = image_.bits();
    const qsizetype stride = image_.bytesPerLine();
    for (int j = y0; j <= y1; ++j) {
        auto* line = reinterpret_cast<QRgb*>(bits + j * stride);
        const double dy = j + 0.5 - cy;
        const double dy2 = dy * dy;
        for (int i = x0; i <= x1; ++i) {
            const double dx = i + 0.5 - cx;
            const double d2 = dx * dx + dy2;
            if (d2 >= reach2) continue;
            if (d2 <= solid2) {
                line[i] = fill;
                continue;
            }
            const double d = std::sqrt(d2);
            const double ring = coverage(outer, d) - coverage(inner, d);
            QRgb p = blend(line[i], fill, coverage(radius, d));
            line[i] = blend(p, outline, ring);
        }
    }
}

void ImageCanvas::text(double x, double y, const QString& text, QRgb colour, const QFont& font,
                       TextRole role) {
    QPainter painter(&image_);
    PainterCanvas canvas(painter, image_.deviceIndependentSize(), twipsPerPixel_);
    canvas.text(x, y, text, colour, font, role);
}

}  // namespace tesral
