#include "plots/image_canvas.h"

#include <QPainter>
#include <cmath>

#include "plots/painter_canvas.h"
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
}

void ImageCanvas::circle(double x, double y, double r, QRgb outline, QRgb fill) {
    // The outline is one logical pixel wide.
    paintSpot(image_, x * deviceScale_, y * deviceScale_, std::fabs(r) * deviceScale_,
              devicePixelRatio_, outline, fill);
}

void ImageCanvas::text(double x, double y, const QString& text, QRgb colour, const QFont& font,
                       TextRole role) {
    QPainter painter(&image_);
    PainterCanvas canvas(painter, image_.deviceIndependentSize(), twipsPerPixel_);
    canvas.text(x, y, text, colour, font, role);
}

}  // namespace tesral
