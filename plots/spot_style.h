#pragma once

#include <QRgb>
#include <QString>
#include <cmath>
#include <optional>

#include "engine/reflection_table.h"
#include "plots/plot_options.h"

namespace tesral {

inline constexpr QRgb kBlack = 0xff000000u;
inline constexpr QRgb kWhite = 0xffffffffu;
inline constexpr QRgb kMainSpotRed = 0xffff0000u;
inline constexpr QRgb kLabelBlue = 0xff0000ffu;
inline constexpr QRgb kAlongGreen = 0xff00ff00u;   // direction class 1, legend "along"
inline constexpr QRgb kBetweenBlue = 0xff0000ffu;  // direction class 2, legend "between"
inline constexpr QRgb kOtherGrey = 0xffc8c8c8u;    // direction class 0

/** Index labels are drawn only on spots whose radius exceeds this (twips). */
inline constexpr float kLabelMinimumRadius = 30.0f;

/**
 * Spot radius in twips: zoom x (twips per pixel x base) x spot factor, where the base is
 * 4 pixels, or (1/|qi|)/2 + 1 with the size rule on. The caller substitutes qi = 0.
 */
float spotRadius(const PlotOptions& options, float zoom, float twipsPerPixel, float qi);

/** spotRadius() with the size rule and the spot factor of the drawing worked out once. */
inline float spotRadius(bool sizeByInverseQi, float factor, float zoom, float twipsPerPixel,
                        float qi) {
    const float base = sizeByInverseQi ? (1.0f / std::fabs(qi)) / 2.0f + 1.0f : 4.0f;
    return zoom * (twipsPerPixel * base) * factor;
}

/** Radius (pixels, before zoom and spot factor) of the strongest spot sized by intensity. */
inline constexpr float kStrongestSpotPixels = 10.0f;

/**
 * Spot radius in twips with the intensity rule: the area grows with the relative intensity
 * (0..100), so the strongest spot has kStrongestSpotPixels. Nothing for a row weaker than
 * the threshold, which is not drawn.
 */
inline std::optional<float> intensitySpotRadius(const PlotOptions& options, float factor,
                                                float zoom, float twipsPerPixel, float intensity) {
    if (!(intensity >= options.intensityThreshold) || intensity <= 0.0f) return std::nullopt;
    return zoom * (twipsPerPixel * kStrongestSpotPixels * std::sqrt(intensity / 100.0f)) * factor;
}

/**
 * Grey scale factor of one drawing: 255 / maxTheta, or 200 / maxQi with the 1/qi colour
 * rule. Nothing when the statistic is 0 (no results to scale by).
 */
std::optional<float> greyFactor(const PlotOptions& options, const TableStatistics& statistics);

/** Outline and fill colour of a spot. */
struct SpotColours {
    QRgb outline = kBlack;
    QRgb fill = kBlack;
};

/**
 * Start colours of a drawing on screen. Filled spots: fill in the foreground colour and
 * outline in the background colour, so they show no outline. Unfilled spots: fill in the
 * background colour and outline in the foreground colour.
 */
SpotColours startColours(bool filledSpots, QRgb background, QRgb foreground);

/**
 * Fill colours of the spots of one drawing. The fill carries over from spot to spot: a spot
 * that no rule touches keeps the colour of the spot before it.
 */
class SpotStyler {
  public:
    SpotStyler(const PlotOptions& options, float greyFactor, SpotColours start);

    QRgb outline() const { return colours_.outline; }
    QRgb fill() const { return colours_.fill; }
    /** Applies the grey rules, then the direction colours; returns the new fill. */
    QRgb styleSpot(const ReflectionRecord& record);

  private:
    const PlotOptions& options_;
    float k_;
    SpotColours colours_;
};

/** h1..hN as whole numbers written one after the other ("1-2010"). */
QString indexLabel(const ReflectionRecord& record, int indexDimension);

}  // namespace tesral
