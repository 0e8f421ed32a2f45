#include "app/measured_contrast.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace tesral {
namespace {

/** The value below which `fraction` of a sample of the pixels lie. */
float quantile(std::vector<float>& sample, double fraction) {
    const auto at = static_cast<std::ptrdiff_t>(fraction * static_cast<double>(sample.size() - 1));
    std::nth_element(sample.begin(), sample.begin() + at, sample.end());
    return sample[static_cast<std::size_t>(at)];
}

}  // namespace

QImage contrastImage(const physics::DiffractionImage& image, Contrast contrast, double gamma) {
    const std::size_t count =
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    if (image.width <= 0 || image.height <= 0 || image.pixels.size() < count) return {};
    // The levels from a sample of about a million pixels: as good, and fast on large frames.
    const std::size_t step = std::max<std::size_t>(1, count / (1u << 20));
    std::vector<float> sample;
    sample.reserve(count / step + 1);
    for (std::size_t i = 0; i < count; i += step)
        if (std::isfinite(image.pixels[i])) sample.push_back(image.pixels[i]);
    if (sample.empty()) return {};
    const float low = quantile(sample, 0.001);
    // White at the brightest pixel below saturation: a clipped direct beam sets no level.
    float high = low;
    for (const float v : sample)
        if (v > high && (image.saturation <= 0.0f || v < image.saturation)) high = v;
    if (!(high > low)) high = low + 1.0f;
    const double range = high - low;
    if (!(gamma > 0.0) || !std::isfinite(gamma)) gamma = 1.0;
    // One grey per level of a 4096-step table keeps the pow and log out of the pixel loop.
    constexpr int kSteps = 4096;
    std::array<uchar, kSteps + 1> table{};
    for (int i = 0; i <= kSteps; ++i) {
        const double t = static_cast<double>(i) / kSteps;
        double level = t;
        if (contrast == Contrast::Logarithmic)
            level = std::log1p(1000.0 * t) / std::log1p(1000.0);
        else if (contrast == Contrast::Gamma)
            level = std::pow(t, gamma);
        table[static_cast<std::size_t>(i)] = static_cast<uchar>(std::lround(255.0 * level));
    }
    QImage grey(image.width, image.height, QImage::Format_Grayscale8);
    for (int y = 0; y < image.height; ++y) {
        uchar* line = grey.scanLine(y);
        const float* row = image.pixels.data() + static_cast<std::size_t>(y) * image.width;
        for (int x = 0; x < image.width; ++x) {
            const double t = std::isfinite(row[x]) ? (row[x] - low) / range : 0.0;
            const int i = static_cast<int>(std::clamp(t, 0.0, 1.0) * kSteps + 0.5);
            line[x] = table[static_cast<std::size_t>(i)];
        }
    }
    return grey;
}

}  // namespace tesral
