#pragma once

// The powder plot: a calculated pattern with its lines as ticks, and a measured pattern.

#include <QString>
#include <span>
#include <vector>

#include "plots/plot_canvas.h"
#include "plots/plot_data.h"

namespace tesral {

/** One calculated line as the plot shows it. */
struct PowderTick {
    double twoTheta = 0.0;  // degrees
    double weight = 0.0;    // its share of the pattern; the strongest are labelled
    QString label;          // indices or (N/M)
};

struct PowderPlotData {
    /** The calculated pattern on an even grid: its first 2-theta, step (degrees) and values. */
    double start = 0.0;
    double step = 0.01;
    std::span<const double> profile;
    std::span<const PowderTick> ticks;
    /** A measured pattern, scaled to the calculated maximum; empty when there is none. */
    std::span<const double> measuredTwoTheta;
    std::span<const double> measuredIntensity;
    bool difference = false;
    /**
     * A refined fit: the calculated values at measuredTwoTheta on the measured scale; the
     * calculated curve and the difference are drawn from it instead of the profile.
     */
    std::span<const double> fitted;
    bool hasFit() const { return !fitted.empty() && fitted.size() == measuredTwoTheta.size(); }
    /** The shown 2-theta range; the whole grid when both are 0. */
    double viewStart = 0.0;
    double viewStop = 0.0;
    /**
     * A second calculated pattern on the same grid, highest point 100 (the quasicrystal's
     * under its approximant's); empty: none. The legend names both curves.
     */
    std::span<const double> compared;
    QString name;          // the calculated curve's legend entry
    QString comparedName;  // that of `compared`
    /** The line above the frame: what the pattern belongs to (system, a, c, wavelength). */
    QString title;
    /** How many of the strongest lines get labels. */
    int labelCount = 12;
};

/** The colours of the plot's curves beside the target's foreground. */
inline constexpr QRgb kMeasuredColour = 0xffd03020;
inline constexpr QRgb kDifferenceColour = 0xff2060c0;
inline constexpr QRgb kTickColour = 0xff208040;
inline constexpr QRgb kComparedColour = 0xffe07000;

/** Where the plot's frame lies in the target (twips). */
struct PowderFrame {
    double left = 0, top = 0, right = 0, bottom = 0;
    double low = 0, high = 0;  // 2-theta at the left and right edge
    double xOf(double twoTheta) const {
        return left + (twoTheta - low) / (high - low) * (right - left);
    }
    double twoThetaOf(double x) const { return low + (x - left) / (right - left) * (high - low); }
};

PowderFrame powderFrame(const PowderPlotData& data, const PlotTarget& target);

/**
 * Draws the plot: the frame with a 2-theta axis (ticks and labels) and an intensity axis, the
 * calculated profile as a curve, a compared pattern, the measured pattern (and the difference)
 * in other colours,
 * each line as a tick under the curves and labels on the strongest lines. Curves are reduced
 * to the lowest and highest value of each pixel column. False when there is nothing to draw.
 */
bool drawPowderPlot(const PowderPlotData& data, const PlotTarget& target, PlotCanvas& canvas);

/** The measured intensities scaled so their highest point is `top`. */
std::vector<double> scaledTo(std::span<const double> values, double top);

}  // namespace tesral
