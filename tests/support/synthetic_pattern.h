#pragma once
// Measured-looking electron-diffraction photographs made from a list of spots, for the tests
// and benchmarks: a diffuse background falling off from the centre, a saturated direct beam,
// an optional beam-stop shadow, counting noise from a fixed seed, and 16-bit clipping.
#include <cstdint>
#include <vector>

#include "physics/diffraction_image.h"

namespace tesral::physics {

struct SyntheticSpot {
    /** Centre in pixels: x to the right, y down, pixel centres at whole numbers. */
    double x = 0.0;
    double y = 0.0;
    /** Integrated counts of the spot. */
    double intensity = 0.0;
    /** Gaussian width in pixels. */
    double sigma = 1.5;
};

struct SyntheticPattern {
    int width = 512;
    int height = 512;
    /** The direct beam; pixel centres at whole numbers. */
    double centreX = 255.5;
    double centreY = 255.5;
    std::vector<SyntheticSpot> spots;

    /** Diffuse background: `floor + background / (1 + (r / backgroundRadius)²)` counts. */
    double background = 300.0;
    double backgroundRadius = 150.0;
    double floor = 40.0;

    /** Peak counts and Gaussian width (pixels) of the direct beam; far above saturation. */
    double beamPeak = 1.0e6;
    double beamSigma = 5.0;

    /** A beam stop: a bar of this width (pixels) from the centre to the edge; 0: none. */
    double beamStopWidth = 0.0;
    /** Its direction, degrees counter-clockwise from +x as seen on the screen. */
    double beamStopAngleDeg = 90.0;
    /** The fraction of the counts that passes it. */
    double beamStopTransmission = 0.01;

    /** Counts per detector unit: the noise is Poisson-like with variance gain × value; 0: none. */
    double gain = 1.0;
    std::uint32_t seed = 1;
    /** The clipping level. */
    float saturation = 65535.0f;
};

/** The photograph, in whole counts clipped to 0..saturation; source "synthetic". */
DiffractionImage renderPattern(const SyntheticPattern& pattern);

/** True when (x, y) lies in the beam stop's shadow. */
bool inBeamStop(const SyntheticPattern& pattern, double x, double y);

}  // namespace tesral::physics
