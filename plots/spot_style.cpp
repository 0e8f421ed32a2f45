#include "plots/spot_style.h"

#include <algorithm>
#include <cmath>

namespace tesral {

float spotRadius(const PlotOptions& options, float zoom, float twipsPerPixel, float qi) {
    return spotRadius(options.sizeByInverseQi, spotFactor(options), zoom, twipsPerPixel, qi);
}

std::optional<float> greyFactor(const PlotOptions& options, const TableStatistics& statistics) {
    // The theta factor is needed first even when the 1/qi rule replaces it.
    if (statistics.maxTheta == 0.0f) return std::nullopt;
    float k = 255.0f / statistics.maxTheta;
    if (options.colourByInverseQi) {
        if (statistics.maxQi == 0.0f) return std::nullopt;
        k = 200.0f / statistics.maxQi;
    }
    if (!std::isfinite(k)) return std::nullopt;
    return k;
}

SpotColours startColours(bool filledSpots, QRgb background, QRgb foreground) {
    if (filledSpots) return {background, foreground};
    return {foreground, background};
}

SpotStyler::SpotStyler(const PlotOptions& options, float greyFactor, SpotColours start)
    : options_(options), k_(greyFactor), colours_(start) {}

namespace {

QRgb grey(float n) {
    // Nearest integer, halves to the even neighbour (the default rounding mode).
    const long level = std::clamp(std::lrint(n), 0L, 255L);
    const auto v = static_cast<int>(level);
    return qRgb(v, v, v);
}

}  // namespace

QRgb SpotStyler::styleSpot(const ReflectionRecord& record) {
    if (options_.filledSpots) {
        // On screen the outline of filled spots is the background colour, so this is in
        // effect a test of the background.
        const bool onBlack = (colours_.outline & 0xffffffu) == 0;
        if (options_.colourByTheta) {
            const float t = k_ * record.theta();
            colours_.fill = grey(onBlack ? 255.0f - t : t);
        } else if (options_.colourByInverseQi) {
            const float q = k_ * std::fabs(record.qi());
            colours_.fill = grey(onBlack ? 255.0f - q : q + 55.0f);
        }
    }
    if (options_.highlightDirections) {
        switch (record.directionClass) {
            case DirectionClass::AlongMain:
                colours_.fill = kAlongGreen;
                break;
            case DirectionClass::BetweenMain:
                colours_.fill = kBetweenBlue;
                break;
            case DirectionClass::Other:
                colours_.fill = kOtherGrey;
                break;
            default:
                break;  // an unknown class keeps the carried-over colour
        }
    }
    return colours_.fill;
}

QString indexLabel(const ReflectionRecord& record, int indexDimension) {
    QString label;
    for (int i = 0; i < indexDimension; ++i)
        label += QString::number(static_cast<long>(std::lrint(record.h(i))));
    return label;
}

}  // namespace tesral
