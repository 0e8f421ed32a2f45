#pragma once

// A pattern fit written out: the JSON of the command line (and the window's results panel
// reads the same numbers), and the measured intensities as a list the refinement reads.

#include <optional>
#include <string>
#include <vector>

#include "physics/pattern_fit.h"

namespace tesral::physics {

/**
 * The fit as JSON: centre_px [x, y], rotation_deg, pixels_per_inverse_angstrom,
 * camera_constant_A_mm (with a pixel size, mm; else null), axis, matched,
 * unmatched_measured, rms_px, with the distortion ellipse_ratio and ellipse_angle_deg, and
 * spots: per matched spot its indices, measured_px, calculated_px, distance_px,
 * intensity_measured, sigma_measured and intensity_calculated (null without a model).
 */
std::string patternFitJson(const PatternFit& fit, const std::vector<MeasuredSpot>& spots,
                           std::optional<double> pixelSizeMm);

/**
 * The matched spots' integrated intensities: a '#' head (kinematic, from which image and
 * axis), then per line the indices, I and sigma, strongest first.
 */
std::string matchedIntensityList(const PatternFit& fit, const std::vector<MeasuredSpot>& spots,
                                 const std::string& imageName);

}  // namespace tesral::physics
