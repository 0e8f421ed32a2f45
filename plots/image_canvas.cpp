#include "plots/image_canvas.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

#include "plots/painter_canvas.h"
#include "plots/parallel_parts.h"
#include "plots/spot_raster.h"

namespace tesral {

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
    under_ = NearestFirst();
}

void ImageCanvas::circle(double x, double y, double r, QRgb outline, QRgb fill) {
    // The outline is one logical pixel wide.
    paintSpot(image_, x * deviceScale_, y * deviceScale_, std::fabs(r) * deviceScale_,
              devicePixelRatio_, outline, fill);
}

void ImageCanvas::inBands(std::size_t spots, const std::function<void(const SpotRows&)>& work) {
    // Each thread takes every spot, but paints only its own band of rows.
    constexpr std::size_t kSpotsPerBand = 2048;
    const int tiles = (image_.height() + NearestFirst::kTile - 1) / NearestFirst::kTile;
    const int bands = std::min(partsFor(spots, kSpotsPerBand), std::max(tiles, 1));
    const SpotRows rows(image_);
    runParts(bands, [&](int band) {
        work(rows.band(tiles * band / bands * NearestFirst::kTile,
                       tiles * (band + 1) / bands * NearestFirst::kTile));
    });
}

void ImageCanvas::circles(std::span<const CanvasSpot> spots, QRgb outline) {
    inBands(spots.size(), [&](const SpotRows& mine) {
        // Spots wholly above or below the band are passed over here, cheaply.
        const double top = mine.firstRow - devicePixelRatio_ - 1.0;
        const double bottom = mine.endRow + devicePixelRatio_ + 1.0;
        for (const CanvasSpot& s : spots) {
            const double y = s.y * deviceScale_;
            const double r = std::fabs(s.r) * deviceScale_;
            if (y + r < top || y - r > bottom) continue;
            paintSpot(mine, s.x * deviceScale_, y, r, devicePixelRatio_, outline, s.fill);
        }
    });
}

void ImageCanvas::circlesUnder(std::span<const CanvasSpot> spots, QRgb outline) {
    if (under_.through.empty()) under_.reset(image_.width(), image_.height());
    inBands(spots.size(), [&](const SpotRows& mine) {
        const double top = mine.firstRow - devicePixelRatio_ - 1.0;
        const double bottom = mine.endRow + devicePixelRatio_ + 1.0;
        for (auto s = spots.rbegin(); s != spots.rend(); ++s) {
            const double y = s->y * deviceScale_;
            const double r = std::fabs(s->r) * deviceScale_;
            if (y + r < top || y - r > bottom) continue;
            paintUnder(mine, under_, s->x * deviceScale_, y, r, devicePixelRatio_, outline,
                       s->fill);
        }
    });
}

void ImageCanvas::endUnder() {
    if (under_.through.empty()) return;
    inBands(std::numeric_limits<std::size_t>::max(),
            [&](const SpotRows& mine) { finishUnder(mine, under_); });
    under_ = NearestFirst();
}

void ImageCanvas::text(double x, double y, const QString& text, QRgb colour, const QFont& font,
                       TextRole role) {
    QPainter painter(&image_);
    PainterCanvas canvas(painter, image_.deviceIndependentSize(), twipsPerPixel_);
    canvas.text(x, y, text, colour, font, role);
}

void ImageCanvas::picture(double x, double y, double w, double h, const QImage& image) {
    QPainter painter(&image_);
    PainterCanvas canvas(painter, image_.deviceIndependentSize(), twipsPerPixel_);
    canvas.picture(x, y, w, h, image);
}

void ImageCanvas::polyline(std::span<const QPointF> points, QRgb colour) {
    QPainter painter(&image_);
    PainterCanvas canvas(painter, image_.deviceIndependentSize(), twipsPerPixel_);
    canvas.polyline(points, colour);
}

}  // namespace tesral
