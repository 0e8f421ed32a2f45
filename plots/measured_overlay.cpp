#include "plots/measured_overlay.h"

#include <QFontMetricsF>
#include <QPointF>
#include <algorithm>
#include <cmath>
#include <vector>

#include "plots/drawing_picture.h"

namespace tesral {
namespace {

constexpr QRgb kNoFill = 0x00000000u;

}  // namespace

QImage contrastImage(int width, int height, std::span<const float> pixels, ImageContrast contrast,
                     double gamma) {
    QImage image(width, height, QImage::Format_Grayscale8);
    if (width <= 0 || height <= 0 ||
        pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return QImage();
    float low = pixels[0], high = pixels[0];
    for (const float p : pixels) {
        low = std::min(low, p);
        high = std::max(high, p);
    }
    if (contrast != ImageContrast::Linear) {
        // From the typical pixel (the background) up: the noise stays dark, the spots show.
        std::vector<float> sample;
        const std::size_t step = std::max<std::size_t>(1, pixels.size() / 65536);
        for (std::size_t i = 0; i < pixels.size(); i += step) sample.push_back(pixels[i]);
        const auto middle = sample.begin() + static_cast<std::ptrdiff_t>(sample.size() / 2);
        std::nth_element(sample.begin(), middle, sample.end());
        low = *middle;
    }
    const double span = std::max(static_cast<double>(high) - low, 1e-30);
    const auto level = [&](float p) {
        const double t = (static_cast<double>(p) - low) / span;  // 0..1
        switch (contrast) {
            case ImageContrast::Linear:
                return t;
            case ImageContrast::Logarithmic:
                // A hundredth of the range as the unit: faint spots show beside a bright beam.
                return std::log1p(100.0 * t) / std::log1p(100.0);
            case ImageContrast::Gamma:
                return std::pow(t, gamma);
        }
        return t;
    };
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        const float* in = pixels.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x)
            row[x] = static_cast<uchar>(std::lround(255.0 * std::clamp(level(in[x]), 0.0, 1.0)));
    }
    return image;
}

bool drawMeasuredOverlay(const MeasuredOverlayData& data, const PlotTarget& target,
                         PlotCanvas& canvas) {
    if (data.image.isNull()) return false;
    const double pixel = target.twipsPerPixelX;
    canvas.clear(target.background);
    const QFontMetricsF metrics(target.font);
    const double lineHeight = metrics.height() * pixel;
    const double top = lineHeight + 8 * pixel;  // room for the title
    const double k = std::min(target.width / data.image.width(),
                              (target.height - top) / data.image.height());  // twips per pixel
    if (!(k > 0.0)) return false;
    const double x0 = (target.width - k * data.image.width()) / 2.0;
    const double y0 = top;
    canvas.picture(x0, y0, k * data.image.width(), k * data.image.height(), data.image);
    // Pixel centres lie at whole numbers: pixel 0 spans -0.5..0.5.
    const auto at = [&](double x, double y) {
        return QPointF(x0 + k * (x + 0.5), y0 + k * (y + 0.5));
    };
    const double r = 6 * pixel;
    for (const bool matched : {false, true})
        for (const OverlaySpot& s : data.spots) {
            if (s.matched != matched) continue;
            const QPointF p = at(s.x, s.y);
            canvas.circle(p.x(), p.y(), r, matched ? kMatchedSpotColour : kUnmatchedSpotColour,
                          kNoFill);
        }
    for (const OverlaySpot& s : data.spots) {
        if (s.label.isEmpty()) continue;
        const QPointF p = at(s.x, s.y);
        canvas.text(p.x() + r + 2 * pixel, p.y() - lineHeight / 2, s.label, kUnmatchedSpotColour,
                    target.font, TextRole::Label);
    }
    const QPointF c = at(data.centreX, data.centreY);
    const double arm = 10 * pixel;
    const QPointF across[] = {c - QPointF(arm, 0), c + QPointF(arm, 0)};
    const QPointF down[] = {c - QPointF(0, arm), c + QPointF(0, arm)};
    canvas.polyline(across, kMatchedSpotColour);
    canvas.polyline(down, kMatchedSpotColour);
    canvas.text(6 * pixel, 4 * pixel, data.title, target.foreground, target.font, TextRole::Label);
    return true;
}

std::optional<QByteArray> renderMeasuredOverlay(PictureFormat format,
                                                const MeasuredOverlayData& data,
                                                const PictureSettings& settings, QString* reason) {
    PictureDrawing drawing;
    drawing.draw = [&](const PlotTarget& target, PlotCanvas& canvas) {
        return drawMeasuredOverlay(data, target, canvas);
    };
    drawing.title = QStringLiteral("Tesral measured pattern");
    drawing.nothing = QStringLiteral("the measured pattern could not be drawn");
    drawing.square = true;
    return pictureBytes(format, settings, drawing, reason);
}

}  // namespace tesral
