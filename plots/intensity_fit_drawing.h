#pragma once

// Calculated against observed intensities on logarithmic axes, with the line where they agree.

#include <QString>
#include <span>

#include "plots/plot_canvas.h"
#include "plots/plot_data.h"

namespace tesral {

struct IntensityFitPoint {
    double observed = 0.0;
    double calculated = 0.0;  // on the observed scale
};

struct IntensityFitData {
    std::span<const IntensityFitPoint> points;
    /** The line above the frame: the figures of merit. */
    QString title;
};

/** Where the frame lies and the decades it spans (log10 of the intensity at its edges). */
struct IntensityFitFrame {
    double left = 0, top = 0, right = 0, bottom = 0;
    double low = 0, high = 1;
    double xOf(double intensity) const;
    double yOf(double intensity) const;
};

IntensityFitFrame intensityFitFrame(const IntensityFitData& data, const PlotTarget& target);

/**
 * Draws the frame with decades on both axes, the diagonal I_calc = I_obs and one dot per
 * observation; points that are not positive on both axes have no place and are left out.
 * False when no point can be drawn.
 */
bool drawIntensityFit(const IntensityFitData& data, const PlotTarget& target, PlotCanvas& canvas);

}  // namespace tesral
