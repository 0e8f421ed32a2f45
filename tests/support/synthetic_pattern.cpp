#include "synthetic_pattern.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tesral::physics {

namespace {

/** A small generator of its own, so that the noise is the same with every standard library. */
struct Noise {
    std::uint64_t state;
    explicit Noise(std::uint32_t seed) : state(0x9E3779B97F4A7C15ull ^ seed) {}
    double uniform() {  // (0, 1)
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        return (static_cast<double>(state >> 11) + 0.5) * 0x1.0p-53;
    }
    double normal() {
        if (spare) {
            spare = false;
            return saved;
        }
        const double r = std::sqrt(-2.0 * std::log(uniform()));
        const double a = 2.0 * std::numbers::pi * uniform();
        saved = r * std::sin(a);
        spare = true;
        return r * std::cos(a);
    }
    bool spare = false;
    double saved = 0.0;
};

/** The share of a unit Gaussian of width `sigma` at `centre` that falls in pixel `i`. */
double pixelShare(int i, double centre, double sigma) {
    const double s = 1.0 / (sigma * std::numbers::sqrt2);
    return 0.5 * (std::erf((i + 0.5 - centre) * s) - std::erf((i - 0.5 - centre) * s));
}

}  // namespace

bool inBeamStop(const SyntheticPattern& p, double x, double y) {
    if (p.beamStopWidth <= 0.0) return false;
    const double a = p.beamStopAngleDeg * std::numbers::pi / 180.0;
    // Screen counter-clockwise: y grows downwards.
    const double along = (x - p.centreX) * std::cos(a) - (y - p.centreY) * std::sin(a);
    const double across = (x - p.centreX) * std::sin(a) + (y - p.centreY) * std::cos(a);
    const double half = 0.5 * p.beamStopWidth;
    return (along >= 0.0 && std::abs(across) <= half) ||
           along * along + across * across <= half * half;
}

DiffractionImage renderPattern(const SyntheticPattern& p) {
    DiffractionImage image;
    image.width = p.width;
    image.height = p.height;
    image.saturation = p.saturation;
    image.source = "synthetic";
    std::vector<double> value(static_cast<std::size_t>(p.width) * p.height);
    const double beamReach = p.beamSigma * std::sqrt(2.0 * std::log(std::max(p.beamPeak, 2.0)));
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const double dx = x - p.centreX, dy = y - p.centreY, r2 = dx * dx + dy * dy;
            double v =
                p.floor + p.background / (1.0 + r2 / (p.backgroundRadius * p.backgroundRadius));
            if (r2 < beamReach * beamReach)
                v += p.beamPeak * std::exp(-0.5 * r2 / (p.beamSigma * p.beamSigma));
            value[static_cast<std::size_t>(y) * p.width + x] = v;
        }
    std::vector<double> shareX;
    for (const SyntheticSpot& s : p.spots) {
        const int reach = static_cast<int>(std::ceil(5.0 * s.sigma));
        const int x0 = std::max(0, static_cast<int>(std::floor(s.x)) - reach);
        const int x1 = std::min(p.width - 1, static_cast<int>(std::ceil(s.x)) + reach);
        const int y0 = std::max(0, static_cast<int>(std::floor(s.y)) - reach);
        const int y1 = std::min(p.height - 1, static_cast<int>(std::ceil(s.y)) + reach);
        if (x0 > x1 || y0 > y1) continue;
        shareX.clear();
        for (int x = x0; x <= x1; ++x) shareX.push_back(pixelShare(x, s.x, s.sigma));
        for (int y = y0; y <= y1; ++y) {
            const double wy = s.intensity * pixelShare(y, s.y, s.sigma);
            double* row = value.data() + static_cast<std::size_t>(y) * p.width;
            for (int x = x0; x <= x1; ++x) row[x] += wy * shareX[x - x0];
        }
    }
    Noise noise(p.seed);
    image.pixels.resize(value.size());
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * p.width + x;
            double v = value[i];
            if (inBeamStop(p, x, y)) v *= p.beamStopTransmission;
            if (p.gain > 0.0) v += std::sqrt(p.gain * v) * noise.normal();
            image.pixels[i] =
                static_cast<float>(std::clamp(std::round(v), 0.0, double(p.saturation)));
        }
    return image;
}

}  // namespace tesral::physics
