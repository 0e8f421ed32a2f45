#pragma once

// A measured zone-axis pattern calibrated against a calculated section: the direct beam's
// place, the rotation and the scale (and an elliptical distortion) that put the section's
// spots on the measured ones, and every measured spot named by its indices.

#include <array>
#include <atomic>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/zone_axis.h"
#include "engine/zone_section.h"
#include "physics/calculation.h"
#include "physics/spot_finder.h"

namespace tesral::physics {

/** Where the plane of a section lies on an image. */
struct PatternCalibration {
    /** The direct beam, pixels: x to the right, y down, pixel centres at whole numbers. */
    double centreX = 0.0;
    double centreY = 0.0;
    /** Degrees from the image's +x axis to the section's x axis, counter-clockwise on screen. */
    double rotation = 0.0;
    /** Pixels per 1/angstrom; with a distortion, the geometric mean of the two axes'. */
    double scale = 0.0;
    /**
     * Elliptical distortion: the ratio of the longest to the shortest axis of the ellipse a
     * ring becomes (1: none), and the long axis' direction, degrees as `rotation`.
     */
    double ellipseRatio = 1.0;
    double ellipseAngle = 0.0;

    /** The pixel (x, y) of the plane point (u, v), 1/angstrom, v upward on screen. */
    std::array<double, 2> pixelOf(double u, double v) const;
    /** The plane point (u, v) of the pixel (x, y). */
    std::array<double, 2> planeOf(double x, double y) const;
};

/** The camera constant lambda L (angstrom mm) of a calibration: R d = lambda L. */
inline double cameraConstant(const PatternCalibration& c, double pixelSizeMm) {
    return pixelSizeMm * c.scale;  // R(mm) / |H| with |H| = 1/d
}

/** One measured spot matched to a row of the section. */
struct SpotMatch {
    /** Index into the measured spots. */
    std::size_t measured = 0;
    /** Row of the section (section.run.table, section.spots). */
    std::size_t row = 0;
    /** Where the calibration puts the row, pixels. */
    double calculatedX = 0.0;
    double calculatedY = 0.0;
    /** From the measured centre to the calculated one, pixels. */
    double distance = 0.0;
};

struct PatternFitOptions {
    /** Fit the elliptical distortion too (two more parameters). */
    bool ellipticity = false;
    /**
     * Section rows weaker than this (percent of the strongest) take no part, as the zone
     * view leaves them out; only with intensities.
     */
    double threshold = 0.1;
    /** A match farther than this (pixels) does not count; 0: from the spots' spacing. */
    double matchRadius = 0.0;
    /** Start the refinement here (the window's manual placement) instead of searching. */
    std::optional<PatternCalibration> start;
};

/** What a fit found. */
struct PatternFit {
    /** Why there is no fit (too few spots, no section, cancelled); empty on success. */
    std::string message;
    /** The axis fitted: its preset name ("fivefold") or its indices as typed. */
    std::string axisName;
    AxisIndices axis{};
    /** The section the spots were matched against, with its intensities when set. */
    ZoneSection section;
    bool intensities = false;
    PatternCalibration calibration;
    /** One per matched measured spot, in the measured spots' order. */
    std::vector<SpotMatch> matches;
    std::size_t unmatchedMeasured = 0;
    /** Root mean square of the matches' distances, pixels. */
    double rmsPixels = 0.0;
    /** The match radius used, pixels. */
    double matchRadius = 0.0;

    bool ok() const { return message.empty(); }
};

/**
 * The measured spots matched, at `calibration`, to their nearest section rows (each row to
 * one spot at most, the nearest), within `radius` pixels. For a placement moved by hand.
 */
std::vector<SpotMatch> matchSpots(const std::vector<MeasuredSpot>& spots,
                                  const ZoneSection& section, bool intensities,
                                  const PatternCalibration& calibration, double radius,
                                  double threshold = 0.1);

/**
 * Fits `spots` to one section: the scale seeded from the rings' radii, the rotation from
 * their angles, the centre from pairs of spots opposite each other (or options.start),
 * then refined by nearest-row matching with a robust cutoff and least squares.
 */
PatternFit fitPattern(const std::vector<MeasuredSpot>& spots, const ZoneSection& section,
                      bool intensities, const PatternFitOptions& options = {},
                      const std::atomic<bool>* stop = nullptr);

/** The message of a fit stopped by its stop flag. */
inline const std::string kFitCancelledMessage = "The fit was cancelled.";

/** The word that asks fitMeasuredPattern to try every preset axis of the system. */
inline const std::string kAutoAxis = "auto";

/**
 * The section of `axisText` (as the zone command reads it: indices or a preset name) of the
 * calculation and the fit of `spots` to it. With "auto", every preset of the system is
 * tried and the fit with the most matched spots, then the smallest residual, kept.
 */
PatternFit fitMeasuredPattern(const Calculation& calculation, const std::string& axisText,
                              const std::vector<MeasuredSpot>& spots,
                              const PatternFitOptions& options = {}, const Watch& watch = {});

}  // namespace tesral::physics
