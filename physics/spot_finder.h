#pragma once
// The spots of a measured diffraction photograph: where they are, to a fraction of a pixel,
// and how strong, with the background taken away.
#include <atomic>
#include <vector>

#include "physics/diffraction_image.h"

namespace tesral::physics {

struct MeasuredSpot {
    /** Centre in pixels: x to the right, y down, pixel centres at whole numbers. */
    double x = 0.0;
    double y = 0.0;
    /** Integrated intensity above the local background, in the image's units times pixels. */
    double intensity = 0.0;
    double sigma = 0.0;
};

struct SpotSearch {
    /** The spots' Gaussian width in pixels; 0: estimated from the image. */
    double spotSigma = 0.0;
    /** A spot must stand this many background standard deviations above the background. */
    double significance = 5.0;
};

/**
 * The spots of `image`, strongest first. Saturated pixels, the direct beam and the shadow of
 * a beam stop give no spot. Returns what was found so far when `stop` is set.
 */
std::vector<MeasuredSpot> findSpots(const DiffractionImage& image, const SpotSearch& search = {},
                                    const std::atomic<bool>* stop = nullptr);

}  // namespace tesral::physics
